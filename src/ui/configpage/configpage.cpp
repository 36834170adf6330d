#include "configpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"

#include "ui/style.h"
#include "widgets/customprogressbar.h"

#include <QDebug>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <cstring>

ConfigPage::ConfigPage(HidConfig *hidConfig, QWidget *parent)
    : QWidget(parent), m_hidConfig(hidConfig), m_saveCheck(new SaveCheck(this, hidConfig))
{
    connect(m_saveCheck, &SaveCheck::Confirmed, this, [this] {
        if (m_pendingNotice != kNoNotice)
            emit saveShowAndCloseText(m_pendingNotice);
    });
    connect(m_saveCheck, &SaveCheck::Failed, this, [this](const QString &why) {
        qDebug().noquote() << why;
        SaveNotConfirmed();
        emit saveShowAndCloseText(kSaveFailed);
    });
    Route(&HidConfig::pressButtonUp, &ConfigPage::clickPadButtonPadUp);
    Route(&HidConfig::pressButtonDown, &ConfigPage::clickPadButtonPadDown);
    Route(&HidConfig::pressButtonLeft, &ConfigPage::clickPadButtonPadLeft);
    Route(&HidConfig::pressButtonRight, &ConfigPage::clickPadButtonPadRight);
    Route(&HidConfig::pressButtonA, &ConfigPage::clickPadButtonA);
    Route(&HidConfig::pressButtonB, &ConfigPage::clickPadButtonB);
    connect(hidConfig, &HidConfig::pressButtonX, this, [this](bool) {
        if (isVisible())
            on_btnSave_clicked();
    });
    connect(hidConfig, &HidConfig::pressButtonResetY, this, [this](bool) {
        if (isVisible())
            on_btnReset_clicked();
    });
    connect(hidConfig, &HidConfig::LoadingProgress, this, [this](int value) {
        if (isVisible())
            LoadingProgress(value);
    });
}

template <typename Signal> void ConfigPage::Route(Signal signal, void (ConfigPage::*slot)(bool))
{
    connect(m_hidConfig, signal, this, [this, slot](bool pressed) {
        if (isVisible())
            (this->*slot)(pressed);
    });
}

PageReads ConfigPage::ReadsBefore(PageLoad) const
{
    return {};
}

void ConfigPage::Load(PageLoad load)
{
    if (load == PageLoad::Poll)
        PollRefresh();
    else if (load == PageLoad::ProfileChange)
        ReloadIfChanged();
    else
        ReloadAndNote();
}

void ConfigPage::ReloadIfChanged()
{
    const ProfileStore &profiles = m_hidConfig->Profiles();
    const PROFILE_INFO record = profiles.Active();
    if (m_loaded && profiles.ActiveIndex() == m_loadedIndex &&
        std::memcmp(record.bytes(), m_loadedRecord.bytes(), PROFILE_INFO::kSize) == 0)
        return;
    ReloadAndNote();
}

void ConfigPage::ReloadAndNote()
{
    m_loadedRecord = m_hidConfig->Profiles().Active();
    m_loadedIndex = m_hidConfig->Profiles().ActiveIndex();
    m_loaded = true;
    Reload();
}

void ConfigPage::PollRefresh()
{
    Reload();
}

void ConfigPage::SaveNotConfirmed() {}

void ConfigPage::clickPadButtonPadUp(bool) {}
void ConfigPage::clickPadButtonPadDown(bool) {}
void ConfigPage::clickPadButtonPadLeft(bool) {}
void ConfigPage::clickPadButtonPadRight(bool) {}
void ConfigPage::clickPadButtonA(bool) {}
void ConfigPage::clickPadButtonB(bool) {}
void ConfigPage::on_btnSave_clicked() {}
void ConfigPage::on_btnReset_clicked() {}

void ConfigPage::LoadingProgress(int value)
{
    if (auto *bar = findChild<QProgressBar *>(QStringLiteral("progressBarLoading")))
        bar->setValue(value);
}

void ConfigPage::SetUpSaveAndReset(QLabel *resetPicture, QLabel *savePicture)
{
    const QString family = Style::AppFamily();
    for (const char *name : {"btnSave", "btnReset"})
        if (auto *button = findChild<QPushButton *>(QLatin1String(name)))
            button->setStyleSheet(Style::HintButton(family));
    if (resetPicture)
        resetPicture->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeY.png")));
    if (savePicture)
        savePicture->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/Icon/ShapeX.png")));
    if (auto *bar = findChild<CustomProgressBar *>(QStringLiteral("progressBarLoading")))
        bar->setChunkColor(QColor(0xFF, 0x50, 0x01));
}

ControllersCommunication &ConfigPage::Com() const
{
    return *m_hidConfig->GetControllerComHandle();
}

bool ConfigPage::SaveAndNotify(std::initializer_list<std::function<bool()>> writes, int flag,
                               const PROFILE_INFO &sent,
                               const QVector<SaveCheck::Section> &sections, int triggerLevels)
{
    m_saveCheck->Cancel();
    if (!Com().WriteThenSave(writes)) {
        qDebug() << "save not taken by the device";
        emit saveShowAndCloseText(kSaveFailed);
        return false;
    }
    if (m_hidConfig->m_fileProfileModel)
        m_hidConfig->RequestCreateProfile();
    CheckSaved(sent, sections, flag, triggerLevels);
    return true;
}

void ConfigPage::CheckSaved(const PROFILE_INFO &sent, const QVector<SaveCheck::Section> &sections,
                            int notice, int triggerLevels, int nameProfile, const QString &name)
{
    m_pendingNotice = notice;
    m_saveCheck->Start(sent, sections, triggerLevels, nameProfile, name);
}
