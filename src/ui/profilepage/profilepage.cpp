#include "profilepage.h"

#include "device/hidconfig.h"
#include "profilebutton.h"
#include "protocol/controllerscommunication.h"
#include "ui/configpage/profileload.h"
#include "ui/style.h"
#include "ui_profilepage.h"

#include <QDebug>
#include <QTimer>

namespace {

constexpr int kRebuildMs = 50;
constexpr int kFirstResetStepMs = 500;
constexpr int kResetStepMs = 100;

// Reset binds the reserved buttons in this order: (button index, slot).
constexpr int kResetBindings[3][2] = {{0, 1}, {2, 3}, {1, 2}};

int SlotOfControllerProfile(int profile)
{
    for (int slot = 1; slot <= 3; ++slot)
        if (ProfilePage::ControllerProfileOfSlot(slot) == profile)
            return slot;
    return 0;
}

} // namespace

int ProfilePage::ControllerProfileOfSlot(int slot)
{
    switch (slot) {
    case 1:
        return 2;
    case 2:
        return 0;
    case 3:
        return 1;
    default:
        return -1;
    }
}

ProfilePage::ProfilePage(HidConfig *hidConfig, QWidget *parent, const QString &directory)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::ProfilePage>()), m_files(directory),
      m_resetTimer(new QTimer(this))
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    setMouseTracking(true);
    const QString family = Style::AppFamily();
    ui->wdgProfileArea->setStyleSheet(
        QStringLiteral("QScrollArea{background:transparent;border:none;}"
                       "QScrollArea > QWidget > QWidget{background:transparent;}"
                       "QScrollBar:vertical{width:4px;background:transparent;margin:0;}"
                       "QScrollBar::handle:vertical{background:#343434;border-radius:2px;}"
                       "QScrollBar::add-line,QScrollBar::sub-line{height:0;}"
                       "QScrollBar::add-page,QScrollBar::sub-page{background:transparent;}"));
    m_addStyle = QStringLiteral("QPushButton{color:white;font:16px \"%1\";background:#343434;"
                                "border-radius:20px;border:2px dashed #5a5a5a;}"
                                "QPushButton:hover{border:2px solid #FF5001;}")
                     .arg(family);
    m_addFocusStyle = QStringLiteral("QPushButton{color:white;font:16px \"%1\";background:#343434;"
                                     "border: 2px solid white;border-radius:20px;}")
                          .arg(family);
    ui->btnAddProfile->setStyleSheet(m_addStyle);
    ui->btnAddProfile->setFixedSize(236, 50);
    ui->btnSetup->setStyleSheet(Style::HintButton(family));
    SetUpSaveAndReset(ui->lbl_A_5, nullptr);
    ui->lbl_A->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeA.png")));

    connect(hidConfig, &HidConfig::CreateProfile, this, &ProfilePage::CreateProfile);
    connect(hidConfig, &HidConfig::pressButtonView, this, &ProfilePage::btnrevisenameClicked);
    connect(hidConfig, &HidConfig::pressButtonMenu, this, &ProfilePage::btndeleteClicked);
    connect(m_resetTimer, &QTimer::timeout, this, &ProfilePage::ResetStep);
    BuildGrid();
}

ProfilePage::~ProfilePage() = default;

void ProfilePage::Reload()
{
    updateProfilePage();
}

void ProfilePage::updateProfilePage()
{
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    m_current = -1;
    m_inButton = false;
    m_subFocus = 0;
    BuildGrid();
    BindDeviceNames();
}

ProfileButton *ProfilePage::Button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons[index] : nullptr;
}

// The grid

void ProfilePage::BuildGrid()
{
    for (ProfileButton *button : qAsConst(m_buttons)) {
        // A button may be running the slot that asked for this rebuild.
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    m_names = m_files.List();
    m_count = std::min<int>(int(m_names.size()), kMaxButtons);
    auto *grid = static_cast<QGridLayout *>(ui->wdgBtnProfile->layout());
    for (int i = 0; i < m_count; ++i) {
        const QString &name = m_names[i];
        auto *button =
            new ProfileButton(name, i, ProfileFiles::IsReserved(name), ui->wdgBtnProfile);
        button->Assign(m_slots.value(name, 0));
        connect(button, &ProfileButton::CloseButton, this, &ProfilePage::OnCloseButton);
        connect(button, &ProfileButton::LoadProfile, this, &ProfilePage::LoadProfile);
        connect(button, &ProfileButton::ModifyNameProfile, this,
                &ProfilePage::ModifyNameProfileClick);
        connect(button, &ProfileButton::CancelPreviousColor, this,
                &ProfilePage::CancelPreviousColor);
        connect(button, &ProfileButton::reloadProfie, this, &ProfilePage::reloadProfie);
        grid->addWidget(button, i / 2, i % 2);
        m_buttons.append(button);
    }
    grid->addWidget(ui->btnAddProfile, m_count / 2, m_count % 2);
    // Rows keep their height; the space below the last one stays empty.
    for (int row = 0; row < grid->rowCount(); ++row)
        grid->setRowStretch(row, 0);
    grid->setRowStretch(m_count / 2 + 1, 1);
    ui->btnAddProfile->setVisible(m_count < kMaxButtons);
    qDebug() << "disPlayButton:" << m_count;
    if (m_current >= 0)
        SetFocus(std::min(m_current, m_count));
}

void ProfilePage::ontimeprofileList()
{
    BuildGrid();
}

void ProfilePage::on_btnAddProfile_clicked()
{
    if (m_count > kMaxButtons - 1) {
        m_count = kMaxButtons;
        return;
    }
    int number = m_count - 2;
    while (m_names.contains(QStringLiteral("Profile %1").arg(number)))
        ++number;
    m_files.Write(QStringLiteral("Profile %1").arg(number), ProfileFiles::NewProfileRecord());
    BuildGrid();
}

void ProfilePage::BindDeviceNames()
{
    for (int profile = 0; profile < HidConfig::kProfileCount; ++profile) {
        const QString name = m_hidConfig->Profiles().Name(profile);
        const int slot = SlotOfControllerProfile(profile);
        for (ProfileButton *button : qAsConst(m_buttons)) {
            if (button->Name() == name && !name.isEmpty()) {
                CancelPreviousColor(slot);
                button->Assign(slot);
                m_slots[name] = slot;
            }
        }
    }
}

// Binding and loading

void ProfilePage::CancelPreviousColor(int colorID)
{
    for (ProfileButton *button : qAsConst(m_buttons)) {
        if (button->Slot() == colorID && button != sender()) {
            button->ClearAssignment();
            m_slots.remove(button->Name());
        }
    }
}

void ProfilePage::LoadProfile(int index)
{
    ProfileButton *button = Button(index);
    if (!button)
        return;
    const int profile = ControllerProfileOfSlot(button->Slot());
    if (profile < 0)
        return;
    m_slots[button->Name()] = button->Slot();
    qDebug() << "current Profile02:" << profile << " load profile:" << m_current << m_count;
    PROFILE_INFO record{};
    if (!m_files.Read(button->Name(), record))
        return;
    ProfileLoad::Send(*m_hidConfig, profile, record, button->Name());
    // Loading shows no notice unless the controller does not hold what was loaded.
    CheckSaved(record, ProfileLoad::Sections(), kNoNotice, ProfileLoad::TriggerLevels(*m_hidConfig),
               profile, button->Name());
    if (m_current >= 0)
        FocusLook(m_current, true);
}

void ProfilePage::NameAfterLoad(int profile, const QString &name)
{
    ProfileLoad::Name(*m_hidConfig, profile, name);
}

void ProfilePage::CreateProfile(QString profileName, PROFILE_INFO conFigData)
{
    m_files.Write(profileName, conFigData);
}

void ProfilePage::reloadProfie(QString name)
{
    // The controller keeps what was loaded; only the binding goes with the file.
    qDebug() << "reloadProfie:" << name;
    m_slots.remove(name);
}

// Rename and delete

void ProfilePage::ModifyNameProfileClick(int index, QString profileReName)
{
    ProfileButton *button = Button(index);
    if (!button)
        return;
    const QString old = button->Name();
    if (m_files.Rename(old, profileReName)) {
        if (m_slots.contains(old))
            m_slots[profileReName] = m_slots.take(old);
        const int profile = ControllerProfileOfSlot(button->Slot());
        if (profile >= 0) {
            NameAfterLoad(profile, profileReName);
            CheckSaved(m_hidConfig->Profiles().Active(), {}, kNoNotice, 0, profile, profileReName);
        }
    }
    // Also after a refused rename: the button shows the file's name again.
    QTimer::singleShot(kRebuildMs, this, &ProfilePage::ontimeprofileList);
}

void ProfilePage::OnCloseButton(int index)
{
    ProfileButton *button = Button(index);
    if (!button)
        return;
    qDebug() << "delete:" << index << "name:" << button->Name();
    if (!m_files.Remove(button->Name()))
        return;
    m_slots.remove(button->Name());
    const bool focused = m_current >= 0;
    m_inButton = false;
    m_subFocus = 0;
    BuildGrid();
    if (focused)
        SetFocus(std::min(index, m_count - 1));
}

void ProfilePage::btnrevisenameClicked(bool)
{
    qDebug() << "view:";
    if (!isVisible())
        return;
    qDebug() << "revise:" << m_current;
    if (m_current >= 0 && m_current < m_count)
        BuildGrid();
}

void ProfilePage::btndeleteClicked(bool)
{
    if (!isVisible())
        return;
    if (ProfileButton *button = Button(m_current)) {
        m_inButton = true;
        m_subFocus = ProfileButton::Delete;
        button->on_btnDelete_clicked();
        button->FocusSubItem(m_subFocus);
    }
}

// Reset

void ProfilePage::on_btnReset_clicked()
{
    if (!isVisible() || m_resetTimer->isActive())
        return;
    Com().ResetToDefault();
    m_resetStep = 0;
    m_resetTimer->start(kFirstResetStepMs);
}

void ProfilePage::ResetStep()
{
    m_resetTimer->setInterval(kResetStepMs);
    const int step = m_resetStep++;
    if (step < 3) {
        const int index = kResetBindings[step][0];
        const int slot = kResetBindings[step][1];
        const int profile = ControllerProfileOfSlot(slot);
        if (ProfileButton *button = Button(index)) {
            CancelPreviousColor(slot);
            button->Assign(slot);
            m_slots[button->Name()] = slot;
        }
        m_hidConfig->RequestStep(ProfileLoad::kSwitchProfileStep + profile);
        NameAfterLoad(profile, ProfileFiles::ReservedNames().value(index));
        return;
    }
    m_resetTimer->stop();
    Com().GetLight(0, 0);
    BuildGrid();
    qDebug() << "复位.............";
    emit saveShowAndCloseText(1);
}

void ProfilePage::currentControllerProfile(int index)
{
    m_controllerProfile = index + 1;
}
