#pragma once

#include "protocol/profile_info.h"
#include "savecheck.h"

#include <QVector>
#include <QWidget>
#include <functional>
#include <initializer_list>

class ControllersCommunication;
class HidConfig;
class QLabel;

// Why a page is being loaded: it is shown, the active profile changed, or the periodic
// re-read of a page the controller itself may change.
enum class PageLoad
{
    Show,
    ProfileChange,
    Poll,
};

// One device read before a page loads, then the pause that lets its reply arrive. A read
// without a command is a pause alone.
struct PageRead
{
    std::function<bool(ControllersCommunication &)> send;
    int pauseMs = 0;
};
using PageReads = QVector<PageRead>;

// What every configuration page shares: the model it edits, the controller buttons
// routed to it while it is visible, the reads it needs before it loads, and the
// write-pause-commit tail of a save with its notice.
//
// The controller slots are virtual slots of this class; a page overrides them as plain
// member functions. Save and reset are plain virtual functions here: a page whose form has
// btnSave or btnReset declares its override as a slot, so the form's by-name connection
// finds exactly one slot of that name.
class ConfigPage : public QWidget
{
    Q_OBJECT

public:
    // The notices a save ends with.
    enum Notice
    {
        kNoNotice = -1, // a confirmed write shows nothing; a failed one the failure
        kSaved = 0,
        kReset = 1,
        kSaveFailed = 2,
    };

    explicit ConfigPage(HidConfig *hidConfig, QWidget *parent = nullptr);

    // The reads the page needs from the device before it loads for this reason.
    virtual PageReads ReadsBefore(PageLoad load) const;
    // Refreshes the page from the model once its reads are done. A profile-change load
    // whose reads brought back exactly what the page shows keeps it as it is.
    void Load(PageLoad load);

signals:
    void saveShowAndCloseText(int Flag);
    void saveShowAndCloseText();

public slots:
    virtual void clickPadButtonPadUp(bool pressed);
    virtual void clickPadButtonPadDown(bool pressed);
    virtual void clickPadButtonPadLeft(bool pressed);
    virtual void clickPadButtonPadRight(bool pressed);
    virtual void clickPadButtonA(bool pressed);
    virtual void clickPadButtonB(bool pressed);
    // Long-press progress; shown in the page's progressBarLoading when it has one.
    virtual void LoadingProgress(int value);

public:
    // Save (also X on the controller) and reset (also a long Y).
    virtual void on_btnSave_clicked();
    virtual void on_btnReset_clicked();

protected:
    // Refreshes the page from the active record.
    virtual void Reload() = 0;
    // The lighter refresh after a periodic re-read; a full reload unless the page says so.
    virtual void PollRefresh();
    // A save the controller did not confirm: the page keeps the player's values. Its
    // record now holds what the controller reported.
    virtual void SaveNotConfirmed();
    // Reloads unless the active profile and its record are those of the last load: a
    // re-read that changes nothing must not throw away the player's unsaved edits and
    // the controller focus.
    void ReloadIfChanged();

    // Sends writes (each followed by the protocol pause), commits them and mirrors the
    // record to its profile file on file-profile models. The notice for flag (kSaved or
    // kReset) shows once the controller has confirmed the written sections of sent;
    // kSaveFailed shows instead when it did not, or when a write did not go out. The
    // page keeps its values either way. Returns whether every write went out.
    bool SaveAndNotify(std::initializer_list<std::function<bool()>> writes, int flag,
                       const PROFILE_INFO &sent, const QVector<SaveCheck::Section> &sections,
                       int triggerLevels = 0b111);

    // Reads back what was just written and committed; notice shows once the controller
    // confirmed it, kSaveFailed when it did not.
    void CheckSaved(const PROFILE_INFO &sent, const QVector<SaveCheck::Section> &sections,
                    int notice, int triggerLevels = 0b111, int nameProfile = -1,
                    const QString &name = QString());

    ControllersCommunication &Com() const;

    // The look shared by every page's foot: the hint style of btnSave and btnReset (when
    // the form has them), the Y and X pictures beside them, and the accent colour of the
    // long-press bar progressBarLoading. Either picture label may be null.
    void SetUpSaveAndReset(QLabel *resetPicture, QLabel *savePicture);

    HidConfig *m_hidConfig;
    SaveCheck *m_saveCheck;

private:
    // Connects a HidConfig button signal to a slot of the page, called only while visible.
    template <typename Signal> void Route(Signal signal, void (ConfigPage::*slot)(bool));
    void ReloadAndNote();

    int m_pendingNotice = kSaved;
    // What the last load showed.
    bool m_loaded = false;
    int m_loadedIndex = -1;
    PROFILE_INFO m_loadedRecord{};
};
