#include "app/profilefiles.h"
#include "device/hidconfig.h"
#include "ui/profilepage/profilebutton.h"
#include "ui/profilepage/profilepage.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pagebench.h"

namespace {

// A record whose every byte differs from its offset's neighbours.
PROFILE_INFO Distinct(int seed)
{
    PROFILE_INFO record{};
    for (int i = 0; i < PROFILE_INFO::kSize; ++i)
        record.bytes()[i] = uint8_t((i * 7 + seed) % 251 + 1);
    return record;
}

QStringList Codes(const std::vector<std::vector<uint8_t>> &frames)
{
    QStringList codes;
    for (const auto &f : frames)
        codes << QString::number(f[4], 16);
    return codes;
}

// A profile-name reply as the device sends it: profile, length, UTF-8 bytes.
std::vector<uint8_t> NameReply(int profile, const QByteArray &name)
{
    std::vector<uint8_t> r(64, 0);
    r[0] = 0xE1;
    r[2] = 0x01;
    r[3] = 0x3C;
    r[4] = 0xC1;
    r[5] = uint8_t(profile);
    r[6] = uint8_t(name.size());
    std::copy(name.begin(), name.end(), r.begin() + 7);
    return r;
}

} // namespace

class TestProfilePage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_dir;
    std::unique_ptr<PageBench> m_bench;
    std::unique_ptr<ProfilePage> m_page;

    template <typename T> T *in(QWidget *parent, const char *name)
    {
        return parent->findChild<T *>(QLatin1String(name));
    }

    void writeProfiles(const QStringList &names)
    {
        ProfileFiles files(m_dir);
        for (const QString &name : names)
            QVERIFY(files.Write(name, ProfileFiles::NewProfileRecord()));
        m_page->updateProfilePage();
    }

    QStringList filesOnDisk() const
    {
        return QDir(m_dir).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_dir = m_root->path() + "/data/Profiles/";
        m_bench = std::make_unique<PageBench>(0x400E);
        QVERIFY(m_bench->IsOpen());
        m_bench->Config().m_fileProfileModel = true;
        m_page = std::make_unique<ProfilePage>(&m_bench->Config(), nullptr, m_dir);
        m_page->show();
    }

    void cleanup()
    {
        m_page.reset();
        m_bench.reset();
        m_root.reset();
    }

    // The add button names a new profile after the count, skipping names in use.
    void addNamesTheNewProfile_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<int>("adds");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("first and second")
            << QStringList{} << 2 << QStringList{"Profile 1", "Profile 2"};
        QTest::newRow("number in use") << QStringList{"Profile 2"} << 1 << QStringList{"Profile 3"};
        QTest::newRow("others before it")
            << QStringList{"Mine", "Yours"} << 1 << QStringList{"Profile 3"};
    }

    void addNamesTheNewProfile()
    {
        QFETCH(QStringList, existing);
        QFETCH(int, adds);
        QFETCH(QStringList, added);
        writeProfiles(existing);
        QCOMPARE(m_page->Count(), 3 + existing.size());
        for (int i = 0; i < adds; ++i)
            QTest::mouseClick(in<QPushButton>(m_page.get(), "btnAddProfile"), Qt::LeftButton);
        const QStringList names = m_page->Names();
        QCOMPARE(names.mid(0, 3), ProfileFiles::ReservedNames());
        QCOMPARE(names.mid(3 + existing.size()), added);
        PROFILE_INFO record{};
        QVERIFY(ProfileFiles(m_dir).Read(added.last(), record));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(record.bytes()), 90),
                 QByteArray(
                     reinterpret_cast<const char *>(ProfileFiles::NewProfileRecord().bytes()), 90));
    }

    void addStopsAt128Buttons()
    {
        QStringList names;
        for (int i = 0; i < ProfilePage::kMaxButtons - 3; ++i)
            names << QStringLiteral("P %1").arg(i);
        writeProfiles(names);
        QCOMPARE(m_page->Count(), ProfilePage::kMaxButtons);
        QVERIFY(!in<QPushButton>(m_page.get(), "btnAddProfile")->isVisible());
        const int files = filesOnDisk().size();
        m_page->on_btnAddProfile_clicked();
        QCOMPARE(filesOnDisk().size(), files);
        QCOMPARE(m_page->Count(), ProfilePage::kMaxButtons);
    }

    // Binding a profile to a slot takes that slot from the profile that held it.
    void slotIsTakenFromItsHolder()
    {
        writeProfiles({"Alpha", "Beta"});
        ProfileButton *alpha = m_page->Button(3);
        ProfileButton *beta = m_page->Button(4);
        QTest::mouseClick(in<QPushButton>(alpha, "btnProfile_2"), Qt::LeftButton);
        QCOMPARE(alpha->Slot(), 2);
        QTest::mouseClick(in<QPushButton>(beta, "btnProfile_2"), Qt::LeftButton);
        QCOMPARE(beta->Slot(), 2);
        QCOMPARE(alpha->Slot(), 0);
        // The binding survives a rebuild of the grid.
        m_page->ontimeprofileList();
        QCOMPARE(m_page->Button(4)->Slot(), 2);
        QCOMPARE(m_page->Button(3)->Slot(), 0);
    }

    // Loading a profile: the switch to its controller profile, the whole record in the
    // device's order, the commit, the current-profile read and the name.
    void bindingLoadsTheFileIntoTheController()
    {
        const PROFILE_INFO saved = Distinct(3);
        QVERIFY(ProfileFiles(m_dir).Write("Race", saved));
        m_page->updateProfilePage();
        QCOMPARE(int(m_bench->Config().Profiles().Active().currentProfile), 0);
        m_bench->Device().firmware().clearLog();
        // Slot 1 is controller profile 2.
        QTest::mouseClick(in<QPushButton>(m_page->Button(3), "btnProfile_1"), Qt::LeftButton);

        QStringList expected{"b1", "a1", "b8", "ba", "ba", "a7", "a5", "b4", "b4", "b4", "a9"};
        for (int i = 0; i < 16; ++i)
            expected << "ad";
        expected << "fb"
                 << "b2"
                 << "c0";
        QCOMPARE(Codes(m_bench->Device().firmware().frames()), expected);
        // What the device holds now, field by field, except what a load leaves alone:
        // status and profile bytes, the curve side and the trigger locks.
        const auto device = m_bench->Device().firmware().state();
        QCOMPARE(device.activeProfile, 2);
        for (int offset = 0; offset < PROFILE_INFO::kSize; ++offset) {
            if (offset == 21 || offset == 22 || offset == 31 || offset == 48 || offset == 49)
                continue;
            QVERIFY2(device.profiles[2][size_t(offset)] == saved.bytes()[offset],
                     qPrintable(QString::number(offset)));
        }
        QCOMPARE(QString::fromStdString(device.names[2]), QStringLiteral("Race"));
        QCOMPARE(m_bench->Config().Profiles().Name(2), QStringLiteral("Race"));
        // The record went to the profile switched to, not the one still called active.
        QCOMPARE(int(m_bench->Config().Profiles().Record(2).turboMask), int(saved.turboMask));
        QVERIFY(m_bench->Config().Profiles().Record(0).turboMask != saved.turboMask);
    }

    // A long Y restores the controller's profiles and binds the reserved files to them:
    // "T3 Profile" to slot 1 (controller profile 2), "T2" to slot 3 (1), "T1" to slot 2 (0).
    void resetBindsTheReservedProfiles()
    {
        writeProfiles({"Mine"});
        QTest::mouseClick(in<QPushButton>(m_page->Button(3), "btnProfile_1"), Qt::LeftButton);
        m_bench->Device().firmware().clearLog();
        QSignalSpy notice(m_page.get(), qOverload<int>(&ConfigPage::saveShowAndCloseText));
        QTest::mouseClick(in<QPushButton>(m_page.get(), "btnReset"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(notice.count(), 1, 5000);
        QCOMPARE(notice[0][0].toInt(), 1);
        QCOMPARE(Codes(m_bench->Device().firmware().frames()),
                 (QStringList{"f1", "b1", "b2", "c0", "b1", "b2", "c0", "b1", "b2", "c0", "ae"}));
        const auto device = m_bench->Device().firmware().state();
        QCOMPARE(QString::fromStdString(device.names[2]), QStringLiteral("T3 Profile"));
        QCOMPARE(QString::fromStdString(device.names[1]), QStringLiteral("T2 Profile"));
        QCOMPARE(QString::fromStdString(device.names[0]), QStringLiteral("T1 Profile"));
        QCOMPARE(m_page->Button(0)->Slot(), 1);
        QCOMPARE(m_page->Button(1)->Slot(), 2);
        QCOMPARE(m_page->Button(2)->Slot(), 3);
        // The slot "Mine" held went to "T3 Profile".
        QCOMPARE(m_page->Button(3)->Slot(), 0);
    }

    void renameFollowsTheEditorRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<QString>("name");
        QTest::newRow("new name") << "Night Mode" << true << "Night Mode";
        QTest::newRow("empty stays in edit mode") << "" << false << "Mine";
        QTest::newRow("other characters cannot be typed") << "a/b.c-d_e" << true << "abcde";
        QTest::newRow("a 16th character is refused")
            << "abcdefghijklmnopq" << true << "abcdefghijklmno";
        QTest::newRow("name of another profile") << "Yours" << true << "Mine";
    }

    void renameFollowsTheEditorRules()
    {
        QFETCH(QString, typed);
        QFETCH(bool, committed);
        QFETCH(QString, name);
        writeProfiles({"Mine", "Yours"});
        ProfileButton *button = m_page->Button(3);
        QTest::mouseClick(in<QPushButton>(button, "btnEdit"), Qt::LeftButton);
        QVERIFY(button->IsEditing());
        auto *field = in<QLineEdit>(button, "lneProfileName");
        field->clear();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(button->IsEditing(), !committed);
        QTRY_VERIFY(m_page->Names().contains(name));
        QCOMPARE(QFile::exists(m_dir + name + ".qpf"), true);
        if (name != "Mine")
            QVERIFY(!QFile::exists(m_dir + "Mine.qpf"));
        QVERIFY(QFile::exists(m_dir + "Yours.qpf"));
    }

    // Reserved profiles can be bound but neither renamed nor deleted.
    void reservedProfilesKeepTheirNames()
    {
        m_page->updateProfilePage();
        for (int i = 0; i < 3; ++i) {
            ProfileButton *button = m_page->Button(i);
            QVERIFY(button->IsReserved());
            button->SetHighlighted(true);
            QVERIFY(!in<QPushButton>(button, "btnEdit")->isVisible());
            QVERIFY(!in<QPushButton>(button, "btnDelete")->isVisible());
            QCOMPARE(button->LastSubItem(), int(ProfileButton::Slot3));
        }
    }

    // The controller deletes the last profile: Right to it, into it, over to delete, A asks,
    // A confirms; the focus lands on the new last button.
    void deletingTheLastMovesTheFocus()
    {
        writeProfiles({"One", "Two"});
        m_bench->Press("RRRRR"); // buttons 0..4
        QCOMPARE(m_page->Current(), 4);
        m_bench->Press("A");
        QVERIFY(m_page->InButton());
        m_bench->Press("RRRR");
        QCOMPARE(m_page->SubFocus(), int(ProfileButton::Delete));
        m_bench->Press("A");
        QVERIFY(m_page->Button(4)->IsConfirmingDelete());
        QVERIFY(QFile::exists(m_dir + "Two.qpf"));
        m_bench->Press("A");
        QVERIFY(!QFile::exists(m_dir + "Two.qpf"));
        QCOMPARE(m_page->Count(), 4);
        QCOMPARE(m_page->Current(), 3);
        QVERIFY(!m_page->InButton());
    }

    void controllerMovesThroughTheGrid_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("current");
        QTest::newRow("into the grid") << "R" << 0;
        QTest::newRow("down a row") << "RD" << 2;
        QTest::newRow("down to the add button") << "RDDD" << 5;
        QTest::newRow("up a row") << "RDDU" << 2;
        QTest::newRow("left from the right column") << "RRL" << 0;
        QTest::newRow("left from the left column leaves") << "RDL" << -1;
        QTest::newRow("right stops at the add button") << "RRRRRRRR" << 5;
        QTest::newRow("B leaves a button") << "RRRRAB" << 3;
    }

    void controllerMovesThroughTheGrid()
    {
        QFETCH(QString, keys);
        QFETCH(int, current);
        writeProfiles({"One", "Two"});
        m_bench->Press(keys);
        QCOMPARE(m_page->Current(), current);
        QVERIFY(!m_page->InButton());
    }

    // A name from the device becomes the name of the file a save on another page writes:
    // only a name the editor could have typed is ever used as a path.
    void untrustedNamesFromTheDeviceWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("written");
        QTest::newRow("plain") << QByteArray("Street") << true;
        QTest::newRow("reserved") << QByteArray("T1 Profile") << false;
        QTest::newRow("climbs out") << QByteArray("../../.config/autostart/x") << false;
        QTest::newRow("slash") << QByteArray("a/b") << false;
        QTest::newRow("control character") << QByteArray("a\nb") << false;
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << false;
        QTest::newRow("too long") << QByteArray("abcdefghijklmnop") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void untrustedNamesFromTheDeviceWriteNothing()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, written);
        m_page->updateProfilePage();
        const QStringList before = filesOnDisk();
        const QStringList around = QDir(m_root->path()).entryList(QDir::AllEntries | QDir::Hidden);
        const auto reply = NameReply(0, name);
        m_bench->Config().Reader().ParseReply(reply.data(), int(reply.size()));
        // The profile selector names the active profile after the device.
        m_bench->Config().Profiles().SetActiveName(m_bench->Config().Profiles().Name(0));
        m_bench->Config().RequestCreateProfile();
        const QStringList after = filesOnDisk();
        QCOMPARE(after.size(), before.size() + (written ? 1 : 0));
        if (written)
            QVERIFY(after.contains(QString::fromUtf8(name) + ".qpf"));
        QCOMPARE(QDir(m_root->path()).entryList(QDir::AllEntries | QDir::Hidden), around);
        QCOMPARE(QDir(m_dir + "..").entryList(QDir::AllEntries | QDir::Hidden).size(), 3);
    }
};

QTEST_MAIN(TestProfilePage)
#include "tst_profilepage.moc"
