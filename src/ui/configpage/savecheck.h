#pragma once

#include "device/configreply.h"
#include "protocol/profile_info.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class HidConfig;
class QWidget;

// Confirms a save: after the commit it reads back the sections just written, with the
// read commands the configuration read-back uses, and compares what the controller reports
// with what was sent. Each read goes out once the replies of the one before have arrived.
// Only a full match confirms; a missing reply, or a differing byte that a second read
// confirms, fails the save. Hiding the page or the device leaving cancels the check
// without a result.
//
// Writes that have no read command are never checked: the motor test (0xBD), calibration
// start and finish (0x20, 0x30), the profile reset (0xF1) and EnterUpdateMode (0xBC).
class SaveCheck : public QObject
{
    Q_OBJECT

public:
    // The sections a save can write, each with the read that answers for it.
    enum class Section
    {
        Mapping,         // 0xA2: record bytes 0..19
        Turbo,           // 0xB9: byte 20
        StickAxis,       // 0xA8: bytes 23..26
        StickDeadZone,   // 0xA6: bytes 27..30
        StickCurve,      // 0xBB for each half: bytes 32..47
        TriggerDeadZone, // 0xB5 for each written lock level
        Vibration,       // 0xAA: bytes 62..65
        Lights,          // 0xAE for each zone and item: bytes 66..89
    };

    // How long the check waits for an awaited reply. The model pauses 20 ms before it parses
    // each reply, and a read-back request is re-sent after 150 ms of silence; a controller
    // that has not answered after 500 ms has not taken the read, and the save is not
    // confirmed.
    static constexpr int kReplyTimeoutMs = 500;

    // Hiding page cancels a running check; without a page only the device leaving does.
    SaveCheck(QWidget *page, HidConfig *hidConfig);

    // Checks that the controller holds the given sections of sent, then, for a profile
    // 0..2, that it holds this name. Trigger dead zones are checked for the levels in
    // triggerLevels (bit n for level n).
    void Start(const PROFILE_INFO &sent, const QVector<Section> &sections,
               int triggerLevels = 0b111, int nameProfile = -1, const QString &name = QString());
    void Cancel();
    bool IsRunning() const { return m_running; }

    // The sections' names as the log line gives them.
    static QString Name(Section section);

signals:
    void Confirmed();
    // One line naming the section and the differing bytes, or the reply that never came.
    void Failed(const QString &why);

private:
    // One reply the check waits for: its command code, the reply bytes that tell which
    // request it answers (offset, value), and the bytes it must carry (offset, value).
    struct Expect
    {
        uint8_t code = 0;
        QVector<QPair<int, uint8_t>> key;
        QVector<QPair<int, uint8_t>> bytes;
        QString section;
        bool met = false;
    };
    // A read-back step and the replies it brings; chained steps are asked for by the
    // model itself once the step before has been answered.
    struct Group
    {
        int step = 0;
        bool chained = false;
        bool retried = false;
        QVector<Expect> expects;
    };

    void SendCurrent();
    void OnReply(const ConfigReply &reply);
    void Fail(QString why); // a copy: Cancel clears m_failure
    bool eventFilter(QObject *watched, QEvent *event) override;

    static Group Read(Section section, const PROFILE_INFO &sent, int triggerLevels);
    static Group ReadName(int profile, const QString &name);

    QWidget *m_page;
    HidConfig *m_hidConfig;
    QVector<Group> m_groups;
    int m_current = 0;
    bool m_running = false;
    QString m_failure;
    QTimer m_timeout;
};
