#include "widgets/progressbar.h"

#include "ui_progressbar.h"
#include "widgets/barstyles.h"

#include <QDebug>

namespace {

constexpr int kLeftMin = 2;       // left handle at 0 %, also the single-mode right handle
constexpr int kRightMax = 144;    // the right handle's furthest drag position
constexpr int kHandleGap = 24;    // one handle's width: handles never overlap
constexpr int kSingleSpan = 142;  // single-mode travel of the right handle
constexpr int kOuterFull = 26;    // right handle at a 100 % outer dead zone
constexpr int kFillInset = 12;    // half a handle: the fill runs centre to centre
constexpr int kHandleRadius = 12; // round handles
const QPoint kRightTextTwo(85, 0);
const QPoint kRightTextSingle(10, 0);

} // namespace

ProgressBar::ProgressBar(QWidget *parent) : QWidget(parent), ui(new Ui::ProgressBar)
{
    ui->setupUi(this);
    // The fill's full width less a handle and the end margins, before the fill is re-laid.
    m_range = ui->lblSolid->width() - 1 - 43;
    ui->btnSolidL->setStyleSheet(BarStyles::Handle(kHandleRadius, 3));
    ui->btnSolidR->setStyleSheet(BarStyles::Handle(kHandleRadius, 2));
    ui->btnSolidL->installEventFilter(this);
    ui->btnSolidR->installEventFilter(this);
    ui->lblTextL->setText(tr("内死区: %1%").arg(m_leftValue));
    ui->lblTextR->setText(tr("外死区: %1%").arg(m_rightValue));
    LayFill();
}

ProgressBar::~ProgressBar() = default;

void ProgressBar::setTwoHandles(bool two)
{
    m_twoHandles = two;
    ui->btnSolidL->setVisible(two);
    ui->lblTextL->setVisible(two);
    ui->lblTextR->move(two ? kRightTextTwo : kRightTextSingle);
    ui->lblTextR->setAlignment(Qt::AlignVCenter | (two ? Qt::AlignRight : Qt::AlignLeft));
    PlaceRight();
    LayFill();
}

void ProgressBar::setLeftValue(int value)
{
    m_leftValue = qBound(0, value, 100);
    ui->btnSolidL->move(m_leftValue * m_range / 100 + kLeftMin, ui->btnSolidL->y());
    if (m_twoHandles)
        ui->lblTextL->setText(tr("内死区: %1%").arg(m_leftValue));
    LayFill();
    emit PosLeftValue(m_leftValue);
}

void ProgressBar::setRightValue(int value)
{
    m_rightValue = qBound(0, value, 100);
    PlaceRight();
    LayFill();
    emit PosRightValue(m_rightValue);
}

void ProgressBar::PlaceRight()
{
    int x;
    if (m_twoHandles) {
        x = qMax((100 - m_rightValue) * (m_range + 1) / 100 + kOuterFull, kOuterFull);
        ui->lblTextR->setText(tr("外死区: %1%").arg(m_rightValue));
    } else {
        x = qMax(m_rightValue * kSingleSpan / 100 + kLeftMin, kLeftMin);
        ui->lblTextR->setText(QStringLiteral("%1%").arg(m_rightValue));
    }
    ui->btnSolidR->move(x, ui->btnSolidR->y());
}

void ProgressBar::LayFill()
{
    // In single mode the fill starts at the bar's start, wherever the hidden handle is.
    const int left = m_twoHandles ? ui->btnSolidL->x() : kLeftMin;
    const int start = left + kFillInset - ui->wdgProBarBorder->x();
    const int end = ui->btnSolidR->x() + kFillInset - ui->wdgProBarBorder->x();
    const QRect fill(start, ui->lblSolid->y(), qMax(0, end - start), ui->lblSolid->height());
    if (ui->lblSolid->geometry() != fill)
        ui->lblSolid->setGeometry(fill);
}

void ProgressBar::setLeftFocus(bool focused)
{
    BarStyles::SetIfChanged(ui->btnSolidL, focused ? BarStyles::HandleHighlighted(kHandleRadius)
                                                   : BarStyles::Handle(kHandleRadius, 3));
}

void ProgressBar::setRightFocus(bool focused)
{
    BarStyles::SetIfChanged(ui->btnSolidR, focused ? BarStyles::HandleHighlighted(kHandleRadius)
                                                   : BarStyles::Handle(kHandleRadius, 2));
}

void ProgressBar::setEditing(bool editing)
{
    m_editing = editing;
    UpdateFrame();
}

void ProgressBar::UpdateFrame()
{
    BarStyles::SetIfChanged(ui->wdgProBarBorder,
                            BarStyles::Frame(m_editing || m_drag.Hovered(), !m_editing));
}

void ProgressBar::DragLeft(int dx)
{
    QPushButton *handle = ui->btnSolidL;
    const int hi = ui->btnSolidR->x() - kHandleGap;
    const int x = qMax(kLeftMin, qMin(handle->x() + dx, hi));
    const int value = qBound(0, qRound((x - kLeftMin) * 100.0 / qMax(1, m_range)), 100);
    // The inner and outer dead zone together cannot exceed the stick's travel.
    if (m_twoHandles && value + m_rightValue > 100)
        return;
    m_leftValue = value;
    ui->lblTextL->setText(tr("内死区: %1%").arg(value));
    const int snapped = qMax(kLeftMin, qMin(value * m_range / 100 + kLeftMin, hi));
    handle->move(snapped, handle->y());
    LayFill();
    emit PosLeftValue(value);
    emit PosLeftValueZ(value);
}

void ProgressBar::DragRight(int dx)
{
    QPushButton *handle = ui->btnSolidR;
    const int lo = m_twoHandles ? ui->btnSolidL->x() + kHandleGap : kLeftMin;
    const int x = qMax(lo, qMin(handle->x() + dx, kRightMax));
    int value;
    if (m_twoHandles) {
        value = qBound(0, qRound((kRightMax - x) * 100.0 / qMax(1, m_range)), 100);
        const int sum = m_leftValue + value;
        qDebug() << "m_RightValue+temp:" << sum;
        if (sum > 100)
            return;
    } else {
        value = qBound(0, 100 - (kRightMax - x) * 100 / kSingleSpan, 100);
    }
    m_rightValue = value;
    PlaceRight();
    // Snapping never pushes the handle onto the left one.
    if (handle->x() < lo)
        handle->move(lo, handle->y());
    LayFill();
    emit PosRightValue(value);
    emit PosRightValueZ(value);
}

bool ProgressBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool left = watched == ui->btnSolidL;
    if (!left && watched != ui->btnSolidR)
        return QWidget::eventFilter(watched, event);
    switch (m_drag.Feed(watched, event)) {
    case HandleDrag::Step::Moved:
        if (left)
            DragLeft(m_drag.Delta().x());
        else
            DragRight(m_drag.Delta().x());
        break;
    case HandleDrag::Step::HoverChanged:
        UpdateFrame();
        break;
    case HandleDrag::Step::None:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
