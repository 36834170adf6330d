// Controller focus of the lighting page: 0 the navigation column, 1..24 the swatches row by
// row, 25 the brightness bar, 26 the mode list, 27..29 the speed buttons, 30..33 the area
// buttons. A on the bar edits the brightness with Left and Right; A on the mode list opens
// it, Up and Down move in it, A chooses and B closes it unchanged.

#include "lightpage.h"

#include "device/hidconfig.h"
#include "ui_lightpage.h"

#include <QAbstractItemView>
#include <QDebug>
#include <algorithm>

namespace {

constexpr int kColumns = 6;

bool IsSwatch(int index)
{
    return index >= 1 && index <= LightPage::kSwatches;
}

} // namespace

void LightPage::HideFocusFrames()
{
    for (QLabel *frame : m_swatchFrames)
        frame->hide();
    ui->lblAreaFocus->hide();
    ui->lblModelFocus->hide();
    ui->lblSpeedFocus->hide();
    if (!m_brightEdit)
        StyleBrightness(false);
}

void LightPage::SetFocusIndex(int index)
{
    HideFocusFrames();
    m_index = std::clamp(index, 0, kFocusLast);
    if (m_index == 0) {
        m_hidConfig->RequestUnlockNavigation(true);
    } else if (IsSwatch(m_index)) {
        m_swatchFrames[size_t(m_index - 1)]->show();
    } else if (m_index == kFocusBrightness) {
        ui->lblLight->setStyleSheet(
            QStringLiteral("background-color:#FF5001;border-radius:8px;border:2px solid white;"));
    } else if (m_index == kFocusMode) {
        ui->lblModelFocus->show();
    } else if (m_index < kFocusArea1) {
        QPushButton *const speeds[3] = {ui->btnSlow, ui->btnMin, ui->btnFast};
        const QRect around = speeds[m_index - kFocusSlow]->geometry().adjusted(-4, -4, 4, 4);
        ui->lblSpeedFocus->setGeometry(around);
        ui->lblSpeedFocus->raise();
        ui->lblSpeedFocus->show();
    } else {
        QPushButton *const areas[kAreas] = {ui->btnArea_1, ui->btnArea_2, ui->btnArea_3,
                                            ui->btnArea_4};
        ui->lblAreaFocus->setGeometry(
            areas[m_index - kFocusArea1]->geometry().adjusted(-3, -3, 3, 3));
        ui->lblAreaFocus->raise();
        ui->lblAreaFocus->show();
    }
}

void LightPage::StepBrightness(int delta)
{
    const size_t a = size_t(m_areaNum - 1);
    const int value = m_Brightness[a] + delta;
    if (value < 0 || value > 100)
        return;
    m_Brightness[a] = value;
    ShowBrightness(value);
}

void LightPage::clickPadButtonPadLeft(bool)
{
    if (m_index > 0)
        m_hidConfig->RequestUnlockNavigation(false);
    if (m_popupOpen || m_index == 0)
        return;
    if (m_brightEdit) {
        StepBrightness(-1);
        qDebug() << "m_Brightness[m_areaNum-1]:02" << m_Brightness[size_t(m_areaNum - 1)];
        return;
    }
    int next = m_index;
    if (IsSwatch(m_index))
        next = (m_index - 1) % kColumns == 0 ? 0 : m_index - 1;
    else if (m_index == kFocusBrightness)
        next = kColumns;
    else if (m_index == kFocusMode)
        next = 2 * kColumns;
    else if (m_index == kFocusSlow)
        next = kSwatches;
    else if (m_index < kFocusArea1)
        next = m_index - 1;
    else if (m_index == kFocusArea1)
        next = 0;
    else
        next = m_index - 1;
    SetFocusIndex(next);
}

void LightPage::clickPadButtonPadRight(bool)
{
    m_hidConfig->RequestUnlockNavigation(false);
    if (m_popupOpen)
        return;
    if (m_brightEdit) {
        StepBrightness(1);
        qDebug() << "m_Brightness[m_areaNum-1]01:" << m_Brightness[size_t(m_areaNum - 1)];
        return;
    }
    int next = m_index;
    if (m_index == 0)
        next = kFocusArea1;
    else if (IsSwatch(m_index))
        next = m_index % kColumns == 0 ? kFocusMode : m_index + 1;
    else if (m_index == kFocusSlow || m_index == kFocusSlow + 1)
        next = m_index + 1;
    else if (m_index >= kFocusArea1 && m_index < kFocusLast)
        next = m_index + 1;
    SetFocusIndex(next);
}

void LightPage::clickPadButtonPadUp(bool)
{
    if (m_popupOpen) {
        const int item = std::max(ui->comBxModel->currentIndex() - 1, 0);
        ui->comBxModel->setCurrentIndex(item);
        ui->comBxModel->view()->setCurrentIndex(ui->comBxModel->model()->index(item, 0));
        return;
    }
    if (m_brightEdit || m_index == 0)
        return;
    int next = m_index;
    if (IsSwatch(m_index))
        next = m_index > kColumns ? m_index - kColumns : kFocusArea1;
    else if (m_index == kFocusBrightness)
        next = m_returnIndex;
    else if (m_index >= kFocusMode && m_index < kFocusArea1)
        next = m_index == kFocusMode ? kFocusBrightness : kFocusMode;
    SetFocusIndex(next);
}

void LightPage::clickPadButtonPadDown(bool)
{
    if (m_popupOpen) {
        const int item = std::min(ui->comBxModel->currentIndex() + 1, 2);
        ui->comBxModel->setCurrentIndex(item);
        ui->comBxModel->view()->setCurrentIndex(ui->comBxModel->model()->index(item, 0));
        return;
    }
    if (m_brightEdit || m_index == 0)
        return;
    int next = m_index;
    if (IsSwatch(m_index))
        next = std::min(m_index + kColumns, kSwatches);
    else if (m_index == kFocusBrightness)
        next = kFocusMode;
    else if (m_index == kFocusMode)
        next = ui->wdgSpeed->isVisibleTo(this) ? kFocusSlow : kFocusMode;
    else if (m_index == kFocusArea1)
        next = 1;
    else if (m_index > kFocusArea1) {
        // Up from the bar returns to the area button it was entered from.
        m_returnIndex = m_index;
        next = kFocusBrightness;
    }
    if (!IsSwatch(next))
        qDebug() << "m_index:" << next;
    SetFocusIndex(next);
}

void LightPage::clickPadButtonA(bool)
{
    if (m_popupOpen) {
        m_popupOpen = false;
        ui->comBxModel->hidePopup();
        on_comBxModel_activated(ui->comBxModel->currentIndex());
        SetFocusIndex(m_index);
        return;
    }
    if (m_brightEdit) {
        m_brightEdit = false;
        StyleBrightness(false);
        SetFocusIndex(m_index);
        return;
    }
    if (IsSwatch(m_index)) {
        SetColor(Swatch(m_index));
    } else if (m_index == kFocusBrightness) {
        m_brightEdit = true;
        StyleBrightness(true);
    } else if (m_index == kFocusMode) {
        m_popupIndex = ui->comBxModel->currentIndex();
        m_popupOpen = true;
        ui->comBxModel->showPopup();
    } else if (m_index >= kFocusSlow && m_index < kFocusArea1) {
        SetSpeed(m_index - kFocusSlow + 1);
    } else if (m_index >= kFocusArea1) {
        SelectArea(m_index - kFocusArea1 + 1);
    } else {
        return;
    }
    SetFocusIndex(m_index);
}

void LightPage::clickPadButtonB(bool)
{
    if (!m_popupOpen)
        return;
    m_popupOpen = false;
    ui->comBxModel->hidePopup();
    ui->comBxModel->setCurrentIndex(m_popupIndex);
}

void LightPage::mouseMoveEvent(QMouseEvent *event)
{
    // The mouse takes over: no controller frame, editing or open list stays.
    m_popupOpen = false;
    m_brightEdit = false;
    HideFocusFrames();
    m_hidConfig->RequestUnlockNavigation(false);
    ConfigPage::mouseMoveEvent(event);
}
