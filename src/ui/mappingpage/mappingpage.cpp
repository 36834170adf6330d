#include "mappingpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "protocol/profilesettings.h"
#include "ui/style.h"
#include "ui_mappingpage.h"

#include <QDebug>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace {

// What reset writes to record offsets 0..19.
constexpr uint8_t kDefaultTable[20] = {18, 19, 20, 21, 22, 23, 32, 33, 34, 35,
                                       36, 37, 38, 39, 64, 64, 64, 64, 64, 64};

constexpr int kFirstBackOffset = ProfileSettings::kFirstBackButton;
constexpr int kBIndex = 1;

// Rows of the form: AGR1, AGR2, AGR3, AGL1, AGL2, AGL3. The numbering of targets per model.
constexpr int kSixButtonRows[6] = {0, 1, 2, 3, 4, 5};
constexpr int kFourButtonRows[4] = {0, 1, 3, 4};

} // namespace

uint8_t MappingPage::CodeOfIndex(int index)
{
    if (index < 0)
        return kNone; // -1 marks "no second index" in the table
    for (const ProfileSettings::ButtonCode &c : ProfileSettings::kButtonCodes)
        if (c.reportIndex == index || c.reportIndex2 == index)
            return c.code;
    return kNone;
}

QString MappingPage::NameOfCode(uint8_t code)
{
    const char *name = ProfileSettings::ButtonName(code);
    return QString::fromLatin1(name ? name : ProfileSettings::kNoButtonName);
}

MappingPage::MappingPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::MappingPage>()),
      m_armTimer(new QTimer(this)), m_cancelTimer(new QTimer(this))
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    setMouseTracking(true);
    m_codes.fill(kNone);
    m_codeCopy.fill(kNone);
    m_rows = {{{ui->btnAGR1, ui->lblEastAGR1, ui->lblBtnAGR1, 15},
               {ui->btnAGR2, ui->lblEastAGR2, ui->lblBtnAGR2, 17},
               {ui->btnAGR3, ui->lblEastAGR3, ui->lblBtnAGR3, 19},
               {ui->btnAGL1, ui->lblEastAGL1, ui->lblBtnAGL1, 14},
               {ui->btnAGL2, ui->lblEastAGL2, ui->lblBtnAGL2, 16},
               {ui->btnAGL3, ui->lblEastAGL3, ui->lblBtnAGL3, 18}}};

    const QString family = Style::AppFamily();
    m_labelNormal = QStringLiteral("color:white;font:18px \"%1\";").arg(family);
    m_labelSelected = QStringLiteral("color:#FF5001;font:bold 18px \"%1\";").arg(family);
    m_arrowNormal = QStringLiteral("color:#8a8a8a;font:18px \"%1\";").arg(family);
    m_arrowFocused = QStringLiteral("color:#FF5001;font:bold 18px \"%1\";").arg(family);
    m_backButton = QStringLiteral("QPushButton{color:white;font:16px \"%1\";background:#343434;"
                                  "border-radius:18px;border:2px solid #343434;}"
                                  "QPushButton:hover{border:2px solid #FF5001;}")
                       .arg(family);
    m_backButtonSelected = QStringLiteral("QPushButton{color:white;font:16px \"%1\";"
                                          "background:#51ff5001;border-radius:18px;"
                                          "border:2px solid #FF5001;}")
                               .arg(family);
    ui->lblFocus->setStyleSheet(
        QStringLiteral("background:transparent;border:2px solid white;border-radius:20px;"));
    ui->lblFocus->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lblFocus->hide();
    SetUpSaveAndReset(ui->lbl_A, ui->lbl_A_2);

    m_armTimer->setSingleShot(true);
    connect(m_armTimer, &QTimer::timeout, this, &MappingPage::mappingFlag);
    m_cancelTimer->setSingleShot(true);
    connect(m_cancelTimer, &QTimer::timeout, this, [this] {
        if (m_bHeld && m_waiting)
            CancelWait();
    });
    connect(hidConfig, &HidConfig::pressButtons, this, &MappingPage::getButtons);
    Select(0);
}

MappingPage::~MappingPage() = default;

PageReads MappingPage::ReadsBefore(PageLoad load) const
{
    const PageRead mapping{[](ControllersCommunication &com) { return com.GetButtonMapping(); },
                           load == PageLoad::Show   ? 100
                           : load == PageLoad::Poll ? 20
                                                    : 120};
    return {mapping};
}

bool MappingPage::SixButtons() const
{
    return m_hidConfig->m_fileProfileModel;
}

const MappingPage::Row *MappingPage::RowOfTarget(int t) const
{
    if (t < 1 || t > Targets())
        return nullptr;
    return &m_rows[size_t(SixButtons() ? kSixButtonRows[t - 1] : kFourButtonRows[t - 1])];
}

uint8_t MappingPage::AssignedCode(int target) const
{
    const Row *row = RowOfTarget(target);
    return row ? m_codes[size_t(row - m_rows.data())] : kNone;
}

// Loading

void MappingPage::Reload()
{
    updateMappingPage();
}

void MappingPage::updateMappingPage()
{
    // The target's label is reloaded under it: a pending wait has nothing left to fill.
    if (m_waiting)
        CancelWait();
    LoadLabels();
    Select(0);
    QString picture;
    if (m_hidConfig->m_fileProfileModel) {
        picture = QStringLiteral(":/Images/QuorelAPP/background/Controller_Mapping_Light.png");
    } else if (m_hidConfig->m_Is6102B) {
        picture = QStringLiteral(":/Images/QuorelAPP/background/Controller_Back_6102B.png");
    } else {
        qDebug() << "m_hidConfig->m_Is6150A:" << (m_hidConfig->m_Is6150A ? "true" : "false");
        picture = m_hidConfig->m_Is6150A
                      ? QStringLiteral(":/Images/QuorelAPP/background/6150A_3.png")
                      : QStringLiteral(":/Images/QuorelAPP/background/Controller_Back.png");
    }
    ui->lblController->setPixmap(QPixmap(picture));
    m_index = 0;
    ui->lblFocus->hide();
    m_hidConfig->RequestUnlockNavigation(true);
}

void MappingPage::LoadLabels()
{
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    if (SixButtons())
        qDebug().noquote() << QString::asprintf("agr3:%0x %x", record.buttonMap[19],
                                                record.buttonMap[18]);
    for (int t = 1; t <= Targets(); ++t) {
        const Row *row = RowOfTarget(t);
        const uint8_t code = record.bytes()[row->offset];
        row->name->setText(NameOfCode(code));
        m_codes[size_t(row - m_rows.data())] = code;
    }
    PlaceRows();
    std::copy(record.buttonMap + kFirstBackOffset, record.buttonMap + 20, m_codeCopy.begin());
}

void MappingPage::PlaceRows()
{
    const bool six = SixButtons();
    ui->wdgMapping->move(640, six ? 60 : 100);
    auto place = [](const Row &row, int y) {
        row.button->move(0, y);
        row.arrow->move(126, y + 10);
        row.name->move(192, y);
    };
    if (six) {
        place(m_rows[2], 93);
        place(m_rows[3], 139);
        place(m_rows[4], 186);
        place(m_rows[5], 232);
    } else {
        place(m_rows[3], 93);
        place(m_rows[4], 139);
    }
    for (int r : {2, 5}) {
        m_rows[size_t(r)].button->setVisible(six);
        m_rows[size_t(r)].arrow->setVisible(six);
        m_rows[size_t(r)].name->setVisible(six);
    }
}

void MappingPage::SaveNotConfirmed()
{
    // The poll compares with what the controller holds, not with the unconfirmed save.
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    std::copy(record.buttonMap + kFirstBackOffset, record.buttonMap + 20, m_codeCopy.begin());
}

void MappingPage::PollRefresh()
{
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    if (!std::equal(m_codeCopy.begin(), m_codeCopy.end(), record.buttonMap + kFirstBackOffset))
        LoadLabels();
}

// Choosing and assigning

void MappingPage::on_btnAGR1_clicked()
{
    ClickBackButton("AGR1");
}

void MappingPage::on_btnAGR2_clicked()
{
    ClickBackButton("AGR2");
}

void MappingPage::on_btnAGR3_clicked()
{
    ClickBackButton("AGR3");
}

void MappingPage::on_btnAGL1_clicked()
{
    ClickBackButton("AGL1");
}

void MappingPage::on_btnAGL2_clicked()
{
    ClickBackButton("AGL2");
}

void MappingPage::on_btnAGL3_clicked()
{
    ClickBackButton("AGL3");
}

void MappingPage::ClickBackButton(const char *name)
{
    int target = 0;
    for (int t = 1; t <= Targets(); ++t)
        if (RowOfTarget(t)->button->text() == QLatin1String(name))
            target = t;
    if (target == 0)
        return;
    // The chosen back button clicked again gives up the wait.
    if (m_waiting && m_target == target) {
        CancelWait();
        return;
    }
    Select(target);
    m_waiting = true;
}

void MappingPage::Select(int target)
{
    for (const Row &row : m_rows) {
        row.button->setStyleSheet(m_backButton);
        row.name->setStyleSheet(m_labelNormal);
        row.arrow->setStyleSheet(m_arrowNormal);
    }
    m_target = 0;
    const Row *row = RowOfTarget(target);
    if (!row)
        return;
    // Marked rather than disabled, so that a second click can still reach it.
    row->button->setStyleSheet(m_backButtonSelected);
    row->name->setStyleSheet(m_labelSelected);
    row->arrow->setStyleSheet(m_arrowFocused);
    m_target = target;
    m_index = target;
}

void MappingPage::mappingFlag()
{
    m_waiting = true;
    m_armTimer->stop();
}

void MappingPage::getButtons(ButtonStates buttons)
{
    const ButtonStates previous = m_lastButtons;
    m_lastButtons = buttons;
    if (!m_waiting)
        return;
    if (m_bHeld) {
        // B let go before the long hold: B is the assignment.
        if (!buttons[kBIndex]) {
            m_bHeld = false;
            m_cancelTimer->stop();
            Assign(CodeOfIndex(kBIndex));
        }
        return;
    }
    // The report has 18 entries: a larger scan limit would read past it.
    const int last = std::min(SixButtons() ? 19 : 17, ButtonStates::kCount - 1);
    for (int i = 0; i <= last; ++i) {
        if (!buttons[i] || previous[i])
            continue;
        if (i == kBIndex) {
            m_bHeld = true;
            m_cancelTimer->start(kCancelHoldMs);
            return;
        }
        Assign(CodeOfIndex(i));
        return;
    }
}

void MappingPage::Assign(uint8_t code)
{
    if (const Row *row = RowOfTarget(m_target)) {
        row->name->setText(NameOfCode(code));
        m_codes[size_t(row - m_rows.data())] = code;
    }
    Select(0);
    m_waiting = false;
    if (isVisible() && m_pageFocus)
        SetFocusStyle(m_index);
}

void MappingPage::CancelWait()
{
    m_waiting = false;
    m_bHeld = false;
    m_armTimer->stop();
    m_cancelTimer->stop();
    Select(0);
    if (isVisible() && m_pageFocus)
        SetFocusStyle(m_index);
}

// Save and reset

void MappingPage::on_btnSave_clicked()
{
    if (!isVisible() || m_waiting)
        return;
    Save(m_resetFlag ? 1 : 0);
}

void MappingPage::Save(int flag)
{
    const bool six = SixButtons();
    const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([&](PROFILE_INFO &r) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (six || (i != 2 && i != 5))
                r.bytes()[m_rows[i].offset] = m_codes[i];
    });
    Select(0);
    SaveAndNotify({[&] { return Com().SetButtonMapping(record); }}, flag, record,
                  {SaveCheck::Section::Mapping});
    m_resetFlag = false;
    std::copy(record.buttonMap + kFirstBackOffset, record.buttonMap + 20, m_codeCopy.begin());
    qDebug() << "保存";
}

void MappingPage::on_btnReset_clicked()
{
    if (!isVisible() || m_waiting)
        return;
    m_hidConfig->Profiles().EditActive(
        [](PROFILE_INFO &r) { std::copy(kDefaultTable, kDefaultTable + 20, r.buttonMap); });
    for (int t = 1; t <= Targets(); ++t) {
        const Row *row = RowOfTarget(t);
        row->name->setText(NameOfCode(kNone));
        m_codes[size_t(row - m_rows.data())] = kNone;
    }
    Select(0);
    m_resetFlag = true;
    on_btnSave_clicked();
    qDebug() << "复位";
}

// Controller focus

void MappingPage::SetFocusStyle(int index)
{
    const Row *focused = RowOfTarget(index);
    const Row *selected = RowOfTarget(m_target);
    for (const Row &row : m_rows)
        row.arrow->setStyleSheet(&row == focused || &row == selected ? m_arrowFocused
                                                                     : m_arrowNormal);
    if (!focused)
        return;
    ui->lblFocus->setGeometry(focused->button->geometry().adjusted(-3, -3, 3, 3));
    ui->lblFocus->show();
    ui->lblFocus->raise();
}

void MappingPage::clickPadButtonPadRight(bool)
{
    m_hidConfig->RequestUnlockNavigation(false);
    if (m_waiting || m_pageFocus)
        return;
    m_pageFocus = true;
    m_index = 1;
    SetFocusStyle(m_index);
}

void MappingPage::clickPadButtonPadLeft(bool)
{
    m_hidConfig->RequestUnlockNavigation(true);
    if (m_waiting)
        return;
    m_pageFocus = false;
    ui->lblFocus->hide();
    qDebug() << "SetFocusStyle(m_index) 08";
}

void MappingPage::clickPadButtonPadDown(bool)
{
    if (!m_pageFocus || m_waiting)
        return;
    m_index = std::min(m_index + 1, Targets());
    SetFocusStyle(m_index);
}

void MappingPage::clickPadButtonPadUp(bool)
{
    if (!m_pageFocus || m_waiting)
        return;
    m_index = std::max(m_index - 1, 1);
    SetFocusStyle(m_index);
}

void MappingPage::clickPadButtonA(bool)
{
    if (!m_pageFocus)
        return;
    Select(m_index);
    if (!m_waiting)
        m_armTimer->start(kArmMs);
}

void MappingPage::mouseMoveEvent(QMouseEvent *event)
{
    ui->lblFocus->hide();
    m_pageFocus = false;
    m_hidConfig->RequestUnlockNavigation(false);
    // Moving away from the rows gives up a wait that a click began.
    if (m_waiting && !ui->wdgMapping->geometry().contains(event->pos()))
        CancelWait();
    ConfigPage::mouseMoveEvent(event);
}
