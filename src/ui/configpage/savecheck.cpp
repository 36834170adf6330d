#include "savecheck.h"

#include "device/hidconfig.h"

#include <QDebug>
#include <QEvent>
#include <QWidget>

namespace {

// Read-back steps of the model that read each section.
constexpr int kStepMapping = 1;
constexpr int kStepTurbo = 2;
constexpr int kStepStickAxis = 3;
constexpr int kStepStickDeadZone = 4;
constexpr int kStepStickCurve = 5;      // half 1 follows by itself
constexpr int kStepTriggerDeadZone = 7; // levels 1 and 2 follow by themselves
constexpr int kStepVibration = 11;      // the lights follow by themselves
constexpr int kStepLights = 12;         // every zone and item follows by itself
constexpr int kStepFirstName = 28;

constexpr int kReplyParams = 5;
constexpr int kLightOffset = 66;

QString Hex(int value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

SaveCheck::SaveCheck(QWidget *page, HidConfig *hidConfig)
    : QObject(page), m_page(page), m_hidConfig(hidConfig)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kReplyTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        const Group &group = m_groups[m_current];
        for (const Expect &expect : group.expects)
            if (!expect.met)
                return Fail(
                    QStringLiteral("%1: no reply to %2").arg(expect.section, Hex(expect.code)));
    });
    connect(hidConfig, &HidConfig::ConfigReplyArrived, this, &SaveCheck::OnReply);
    connect(hidConfig, &HidConfig::backMainPage, this, &SaveCheck::Cancel);
    if (page)
        page->installEventFilter(this);
}

QString SaveCheck::Name(Section section)
{
    switch (section) {
    case Section::Mapping:
        return QStringLiteral("button mapping");
    case Section::Turbo:
        return QStringLiteral("turbo");
    case Section::StickAxis:
        return QStringLiteral("stick axes");
    case Section::StickDeadZone:
        return QStringLiteral("stick dead zones");
    case Section::StickCurve:
        return QStringLiteral("stick curves");
    case Section::TriggerDeadZone:
        return QStringLiteral("trigger dead zones");
    case Section::Vibration:
        return QStringLiteral("vibration");
    case Section::Lights:
        return QStringLiteral("lighting");
    }
    return QString();
}

SaveCheck::Group SaveCheck::Read(Section section, const PROFILE_INFO &sent, int triggerLevels)
{
    const uint8_t *record = sent.bytes();
    const QString name = Name(section);
    // A reply carrying count record bytes from `from` at its parameters.
    auto run = [&](uint8_t code, int from, int count) {
        Expect expect;
        expect.code = code;
        expect.section = name;
        for (int i = 0; i < count; ++i)
            expect.bytes.append({kReplyParams + i, record[from + i]});
        return expect;
    };
    Group group;
    switch (section) {
    case Section::Mapping:
        group.step = kStepMapping;
        group.expects = {run(0xA2, 0, 20)};
        break;
    case Section::Turbo:
        group.step = kStepTurbo;
        group.expects = {run(0xB9, 20, 1)};
        break;
    case Section::StickAxis:
        group.step = kStepStickAxis;
        group.expects = {run(0xA8, 23, 4)};
        break;
    case Section::StickDeadZone:
        group.step = kStepStickDeadZone;
        group.expects = {run(0xA6, 27, 4)};
        break;
    case Section::StickCurve:
        // The replies do not say their half: they come in the order asked, 0 then 1.
        group.step = kStepStickCurve;
        group.expects = {run(0xBB, 32, 8), run(0xBB, 40, 8)};
        break;
    case Section::TriggerDeadZone:
        group.step = kStepTriggerDeadZone;
        for (int level = 0; level < PROFILE_INFO::kTriggerLevels; ++level) {
            if (!(triggerLevels & (1 << level)))
                continue;
            Expect expect;
            expect.code = 0xB5;
            expect.section = name;
            expect.key = {{6, uint8_t(level)}};
            expect.bytes = {{8, sent.triggerLStart[level]},
                            {9, sent.triggerLEnd[level]},
                            {10, sent.triggerRStart[level]},
                            {11, sent.triggerREnd[level]}};
            group.expects.append(expect);
        }
        break;
    case Section::Vibration:
        group.step = kStepVibration;
        group.expects = {run(0xAA, 62, 4)};
        break;
    case Section::Lights:
        group.step = kStepLights;
        for (int item = 0; item < 4; ++item) {
            for (int zone = 0; zone < PROFILE_INFO::kLightZones; ++zone) {
                const int at = kLightOffset + PROFILE_INFO::kLightZoneBytes * zone + item;
                Expect expect = run(0xAE, at, item < 3 ? 1 : 3);
                for (auto &byte : expect.bytes)
                    byte.first += 2; // after the item and the zone
                expect.key = {{5, uint8_t(item)}, {6, uint8_t(zone)}};
                group.expects.append(expect);
            }
        }
        break;
    }
    return group;
}

void SaveCheck::Start(const PROFILE_INFO &sent, const QVector<Section> &sections, int triggerLevels,
                      int nameProfile, const QString &name)
{
    QVector<Group> groups;
    for (int i = 0; i < sections.size(); ++i) {
        Group group = Read(sections[i], sent, triggerLevels);
        // The vibration read is followed by the lights' on its own.
        group.chained =
            i > 0 && sections[i] == Section::Lights && sections[i - 1] == Section::Vibration;
        if (!group.expects.isEmpty())
            groups.append(group);
    }
    if (nameProfile >= 0 && nameProfile < HidConfig::kProfileCount)
        groups.append(ReadName(nameProfile, name));
    m_groups = std::move(groups);
    m_current = 0;
    m_running = true;
    if (m_groups.isEmpty() || !m_hidConfig->m_checkSaves.load()) {
        m_running = false;
        m_groups.clear();
        emit Confirmed();
        return;
    }
    SendCurrent();
}

SaveCheck::Group SaveCheck::ReadName(int profile, const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    Expect expect;
    expect.code = 0xC1;
    expect.section = QStringLiteral("profile name");
    expect.key = {{5, uint8_t(profile)}};
    expect.bytes = {{6, uint8_t(utf8.size())}};
    for (int i = 0; i < utf8.size(); ++i)
        expect.bytes.append({7 + i, uint8_t(utf8[i])});
    Group group;
    group.step = kStepFirstName + profile;
    group.expects = {expect};
    return group;
}

void SaveCheck::SendCurrent()
{
    const Group &group = m_groups[m_current];
    if (!group.chained)
        m_hidConfig->RequestStep(group.step);
    m_timeout.start();
}

void SaveCheck::Cancel()
{
    m_running = false;
    m_failure.clear();
    m_timeout.stop();
    m_groups.clear();
}

void SaveCheck::Fail(QString why)
{
    Cancel();
    emit Failed(QStringLiteral("save not confirmed: ") + why);
}

void SaveCheck::OnReply(const ConfigReply &reply)
{
    if (!m_running || reply.size() <= 4)
        return;
    Group &group = m_groups[m_current];
    const auto at = [&reply](int offset) { return reply[offset]; };
    bool matched = false;
    for (Expect &expect : group.expects) {
        if (expect.met || expect.code != at(4))
            continue;
        bool answers = true;
        for (const auto &key : expect.key)
            answers = answers && key.first < reply.size() && at(key.first) == key.second;
        if (!answers)
            continue;
        // The reply is the device's: a short one is a difference, never read past.
        QStringList differs;
        for (const auto &byte : expect.bytes) {
            if (byte.first >= reply.size())
                differs << QStringLiteral("byte %1 sent %2, missing")
                               .arg(byte.first)
                               .arg(Hex(byte.second));
            else if (at(byte.first) != byte.second)
                differs << QStringLiteral("byte %1 sent %2, controller has %3")
                               .arg(byte.first)
                               .arg(Hex(byte.second), Hex(at(byte.first)));
        }
        // The first difference is the one reported, once the step's replies are all in:
        // reads the model asks for by itself go on until then, and must not meet the
        // next save.
        if (!differs.isEmpty() && m_failure.isEmpty())
            m_failure =
                QStringLiteral("%1 (reply %2): %3")
                    .arg(expect.section, Hex(expect.code), differs.join(QStringLiteral("; ")));
        expect.met = true;
        matched = true;
        break;
    }
    // Other replies, such as reads that follow by themselves, are no answer.
    if (!matched)
        return;
    for (const Expect &expect : group.expects)
        if (!expect.met) {
            m_timeout.start();
            return;
        }
    if (!m_failure.isEmpty()) {
        if (group.retried)
            return Fail(m_failure);
        // A read the model or a page asked for just before the save may have answered
        // with what the controller held then: a difference counts once a read of its own,
        // sent after every answer to the first, says the same.
        group.retried = true;
        group.chained = false;
        for (Expect &expect : group.expects)
            expect.met = false;
        m_failure.clear();
        return SendCurrent();
    }
    if (++m_current < m_groups.size())
        return SendCurrent();
    Cancel();
    emit Confirmed();
}

bool SaveCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Hide)
        Cancel();
    return QObject::eventFilter(watched, event);
}
