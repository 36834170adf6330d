#include "app/profilefiles.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Golden files made by make_golden.py from the file layout, independently of this code.
const QString kGolden = QStringLiteral(ORADESK_SOURCE_DIR "/tests/data/profiles/");
const QStringList kReserved = {"T3 Profile", "T1 Profile", "T2 Profile"};
const qint64 kBaseTime = 1600000000;

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray Golden(const QString &name)
{
    return ReadAll(kGolden + name + ".qpf");
}

// Records compared as their bytes in record order, so a failure shows which byte differs.
QByteArray RecordBytes(const PROFILE_INFO &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes()), PROFILE_INFO::kSize);
}

PROFILE_INFO RecordOf(const QByteArray &recordOrder)
{
    PROFILE_INFO record;
    std::memcpy(record.bytes(), recordOrder.constData(), PROFILE_INFO::kSize);
    return record;
}

// Record byte k holds k + 1: the record of distinct.qpf.
PROFILE_INFO Distinct()
{
    QByteArray bytes(PROFILE_INFO::kSize, '\0');
    for (int k = 0; k < bytes.size(); ++k)
        bytes[k] = char(k + 1);
    return RecordOf(bytes);
}

PROFILE_INFO Garbage()
{
    return RecordOf(QByteArray(PROFILE_INFO::kSize, char(0xAA)));
}

// Every entry under root, symlinks not followed, with what it holds.
QMap<QString, QByteArray> Snapshot(const QString &rootPath)
{
    const QString root = QDir(rootPath).absolutePath() + "/";
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QByteArray what = "other";
        if (info.isSymLink())
            what = "link to " + QFile::encodeName(info.symLinkTarget());
        else if (info.isDir())
            what = "dir";
        else if (info.isFile())
            what = "file " + ReadAll(info.filePath());
        entries.insert(info.filePath().mid(root.size()), what);
    }
    return entries;
}

void SetModificationTime(const QString &path, qint64 seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(kBaseTime + seconds),
                             QFileDevice::FileModificationTime));
}

// Puts an entry of the given kind at path: "file", "dir", "pipe", "link" (to an existing
// file at outside) or "dangling" (a link to the missing path outside).
void MakeEntry(const QString &kind, const QString &path, const QString &outside)
{
    if (kind == "file") {
        QVERIFY(WriteAll(path, "user data"));
    } else if (kind == "dir") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "pipe") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        if (kind == "link")
            QVERIFY(WriteAll(outside, "outside"));
        QVERIFY(QFile::link(outside, path));
    }
}

} // namespace

class TestProfileFiles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_dir; // the profile directory, with a trailing slash

    QString Root() const { return m_root->path() + "/"; }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_dir = Root() + "data/Profiles/";
    }

    void defaultDirectoryIsInTheUserDataDirectory()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->path()));
        QCOMPARE(ProfileFiles::DefaultDirectory(), Root() + "quorel-oradesk/Profiles/");
        QCOMPARE(ProfileFiles().Directory(), ProfileFiles::DefaultDirectory());
    }

    void goldenFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("distinct") << "distinct" << RecordBytes(Distinct());
        QTest::newRow("new") << "new" << RecordBytes(ProfileFiles::NewProfileRecord());
        for (const QString &name : kReserved)
            QTest::newRow(qPrintable(name))
                << name << RecordBytes(ProfileFiles::ReservedRecord(name));
    }

    void goldenFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, record);
        const QByteArray golden = Golden(file);
        QCOMPARE(golden.size(), PROFILE_INFO::kSize);
        QCOMPARE(ProfileFiles::Encode(RecordOf(record)), golden);
        QCOMPARE(RecordBytes(ProfileFiles::Decode(golden)), record);

        ProfileFiles files(m_dir);
        QVERIFY(files.Write("Golden", RecordOf(record)));
        QCOMPARE(ReadAll(m_dir + "Golden.qpf"), golden);
    }

    void recordOffsetOfFileByte()
    {
        // distinct.qpf holds record offset + 1 at every file byte.
        const QByteArray golden = Golden("distinct");
        for (int i = 0; i < PROFILE_INFO::kSize; ++i)
            QCOMPARE(ProfileFiles::RecordOffsetOfFileByte(i), int(golden[i]) - 1);
        QCOMPARE(ProfileFiles::RecordOffsetOfFileByte(-1), -1);
        QCOMPARE(ProfileFiles::RecordOffsetOfFileByte(PROFILE_INFO::kSize), -1);
    }

    void emptyDirectoryGetsTheReservedProfiles()
    {
        ProfileFiles files(m_dir.chopped(1));
        QCOMPARE(files.Directory(), m_dir);
        QCOMPARE(files.List(), kReserved);
        QCOMPARE(QFileInfo(m_dir).permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                      QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QCOMPARE(QDir(m_dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3);
        for (const QString &name : kReserved)
            QCOMPARE(ReadAll(m_dir + name + ".qpf"), Golden(name));

        // A missing one comes back; the others and the user's profiles stay.
        QVERIFY(QFile::remove(m_dir + "T2 Profile.qpf"));
        QVERIFY(files.Write("Mine", Distinct()));
        QCOMPARE(files.List(), kReserved + QStringList{"Mine"});
        QCOMPARE(ReadAll(m_dir + "T2 Profile.qpf"), Golden("T2 Profile"));
        QCOMPARE(ReadAll(m_dir + "Mine.qpf"), Golden("distinct"));
    }

    void reservedEntryIsKept_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("altered file") << "file";
        QTest::newRow("directory") << "dir";
        QTest::newRow("symlink") << "link";
        QTest::newRow("dangling symlink") << "dangling";
    }

    void reservedEntryIsKept()
    {
        QFETCH(QString, kind);
        ProfileFiles files(m_dir);
        files.List();
        QVERIFY(QFile::remove(m_dir + "T1 Profile.qpf"));
        MakeEntry(kind, m_dir + "T1 Profile.qpf", Root() + "outside.qpf");
        const auto before = Snapshot(Root());

        QCOMPARE(files.List(), kReserved);
        QVERIFY(!files.Write("T1 Profile", Distinct()));
        QCOMPARE(Snapshot(Root()), before);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << RecordBytes(Distinct());
        QTest::newRow("all bits set") << "My Set 2" << QByteArray(PROFILE_INFO::kSize, char(0xFF));
        QByteArray high(PROFILE_INFO::kSize, char(0x80));
        for (int k = 0; k < high.size(); k += 2)
            high[k] = char(0x7F);
        QTest::newRow("sign boundary") << "0" << high;
        QTest::newRow("one space") << " " << QByteArray(PROFILE_INFO::kSize, '\0');
    }

    void roundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, record);
        ProfileFiles files(m_dir);
        QVERIFY(files.Write(name, Garbage()));
        QVERIFY(files.Write(name, RecordOf(record)));
        QCOMPARE(QFileInfo(m_dir + name + ".qpf").size(), PROFILE_INFO::kSize);
        PROFILE_INFO read = Garbage();
        QVERIFY(files.Read(name, read));
        QCOMPARE(RecordBytes(read), record);
        QCOMPARE(files.List(), kReserved + QStringList{name});
    }

    void fileOfAnySizeLoads_data()
    {
        QTest::addColumn<int>("kept");        // bytes of distinct.qpf kept at the front
        QTest::addColumn<qint64>("fileSize"); // then padded with 0xEE, or sparse zeros
        QTest::newRow("empty") << 0 << qint64(0);
        QTest::newRow("10 bytes") << 10 << qint64(10);
        QTest::newRow("89 bytes") << 89 << qint64(89);
        QTest::newRow("91 bytes") << 90 << qint64(91);
        // Reading the whole of this one would not even fit a byte array.
        QTest::newRow("3 GiB") << 90 << (qint64(3) << 30);
    }

    void fileOfAnySizeLoads()
    {
        QFETCH(int, kept);
        QFETCH(qint64, fileSize);
        const QByteArray golden = Golden("distinct");
        const QString path = m_dir + "Sized.qpf";
        QVERIFY(WriteAll(path, golden.left(kept) +
                                   QByteArray(int(qMin<qint64>(fileSize - kept, 1)), char(0xEE))));
        QVERIFY(QFile::resize(path, fileSize));

        // File byte i of distinct.qpf holds record offset golden[i] - 1 with value golden[i].
        QByteArray expected(PROFILE_INFO::kSize, '\0');
        for (int i = 0; i < kept; ++i)
            expected[golden[i] - 1] = golden[i];
        PROFILE_INFO read = Garbage();
        QVERIFY(ProfileFiles(m_dir).Read("Sized", read));
        QCOMPARE(RecordBytes(read), expected);
    }

    void list_data()
    {
        // Entries: kind ":" file name, optionally "@" seconds of modification time.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("listed"); // after the reserved names
        QTest::newRow("oldest first")
            << QStringList{"file:B.qpf@2000", "file:A.qpf@3000", "file:C.qpf@1000"}
            << QStringList{"C", "B", "A"};
        QTest::newRow("same time by name")
            << QStringList{"file:b.qpf@900", "file:a.qpf@900", "file:c.qpf@500"}
            << QStringList{"c", "a", "b"};
        QTest::newRow("extension removed")
            << QStringList{"file:My Set.qpf"} << QStringList{"My Set"};
        QTest::newRow("not profiles")
            << QStringList{"dir:Dir.qpf",       "link:Link.qpf",
                           "pipe:Pipe.qpf",     "file:notes.txt",
                           "file:Plain",        "file:x.QPF",
                           "file:a\nb.qpf",     "file:.qpf",
                           "file:Prüfung.qpf",  "file:Sixteen chars xx.qpf",
                           "file:Kept.qpf@100", "file:a\tb.qpf"}
            << QStringList{"Kept"};
        QTest::newRow("repeats") << QStringList{"file:Dup.qpf@1000", "file:Dup.qpf.qpf@500",
                                                "file:T1 Profile.qpf.qpf@100",
                                                "file:T2 Profile.qpf@100"}
                                 << QStringList{"Dup"};
    }

    void list()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, listed);
        QVERIFY(QDir().mkpath(m_dir));
        for (const QString &entry : entries) {
            const QString kind = entry.section(':', 0, 0);
            const QString rest = entry.section(':', 1);
            const QString path = m_dir + rest.section('@', 0, 0);
            MakeEntry(kind, path, Root() + "outside.qpf");
            if (kind == "file")
                SetModificationTime(path,
                                    rest.contains('@') ? rest.section('@', 1).toLongLong() : 1000);
        }
        QCOMPARE(ProfileFiles(m_dir).List(), kReserved + listed);
    }

    void nonRegularEntryIsNotUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("symlink to a file outside") << "link";
        QTest::newRow("dangling symlink") << "dangling";
        QTest::newRow("directory") << "dir";
        QTest::newRow("named pipe") << "pipe";
    }

    void nonRegularEntryIsNotUsed()
    {
        QFETCH(QString, kind);
        ProfileFiles files(m_dir);
        files.List();
        MakeEntry(kind, m_dir + "Odd.qpf", Root() + "outside.qpf");
        const auto before = Snapshot(Root());

        PROFILE_INFO read = Garbage();
        QVERIFY(!files.Read("Odd", read));
        QCOMPARE(RecordBytes(read), RecordBytes(Garbage()));
        QVERIFY(!files.Write("Odd", Distinct()));
        QVERIFY(!files.Rename("Odd", "Moved"));
        QCOMPARE(Snapshot(Root()), before);
    }

    void untrustedNameIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("naivePath"); // where name + ".qpf" would lead
        QTest::newRow("parent path") << "../../.config/autostart/x"
                                     << "../../.config/autostart/x.qpf";
        QTest::newRow("sub directory") << "a/b"
                                       << "a/b.qpf";
        QTest::newRow("dot dot") << ".."
                                 << "...qpf";
        QTest::newRow("empty") << ""
                               << ".qpf";
        QTest::newRow("16 characters") << "ABCDEFGHIJKLMNOP"
                                       << "ABCDEFGHIJKLMNOP.qpf";
        QTest::newRow("newline") << "a\nb"
                                 << "a\nb.qpf";
        QTest::newRow("NUL") << QString::fromLatin1("c\0d", 3) << "c";
        QTest::newRow("extension") << "x.qpf"
                                   << "x.qpf.qpf";
        QTest::newRow("accented letter") << "Prüfung"
                                         << "Prüfung.qpf";
        QTest::newRow("CJK letters") << "配置"
                                     << "配置.qpf";
    }

    void untrustedNameIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, naivePath);
        ProfileFiles files(m_dir);
        files.List();
        QVERIFY(files.Write("Good", Distinct()));
        QVERIFY(QDir().mkpath(m_dir + "a"));
        QVERIFY(QDir().mkpath(Root() + ".config/autostart"));
        auto before = Snapshot(Root());

        QVERIFY(!files.Write(name, Distinct()));
        QVERIFY(!files.Rename("Good", name));
        QCOMPARE(Snapshot(Root()), before);

        // Something sits where the name would lead: it is neither read, moved nor removed.
        QVERIFY(WriteAll(m_dir + naivePath, Golden("new")));
        before = Snapshot(Root());
        PROFILE_INFO read = Garbage();
        QVERIFY(!files.Read(name, read));
        QCOMPARE(RecordBytes(read), RecordBytes(Garbage()));
        QVERIFY(!files.Remove(name));
        QVERIFY(!files.Rename(name, "Other"));
        QCOMPARE(Snapshot(Root()), before);
    }

    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("sizeLimit");
        QTest::newRow("file size limit") << true;
        QTest::newRow("directory not writable") << false;
    }

    void failedWriteKeepsTheOldFile()
    {
        QFETCH(bool, sizeLimit);
        if (!sizeLimit && geteuid() == 0)
            QSKIP("root writes into read-only directories; the size limit row covers root");
        ProfileFiles files(m_dir);
        QVERIFY(files.Write("Keep", Distinct()));

        bool written = true;
        if (sizeLimit) {
            // Applies to root as well: the temporary file cannot grow to 90 bytes.
            rlimit old{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
            rlimit small = old;
            small.rlim_cur = 16;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            written = files.Write("Keep", ProfileFiles::NewProfileRecord());
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner));
            written = files.Write("Keep", ProfileFiles::NewProfileRecord());
            QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QVERIFY(!written);
        QCOMPARE(ReadAll(m_dir + "Keep.qpf"), Golden("distinct"));
        QCOMPARE(QDir(m_dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Keep.qpf"});
    }

    void rename_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("free name") << "A"
                                   << "C" << true;
        QTest::newRow("onto another profile") << "A"
                                              << "B" << false;
        QTest::newRow("onto itself") << "A"
                                     << "A" << false;
        QTest::newRow("missing source") << "Z"
                                        << "C" << false;
        QTest::newRow("from reserved") << "T1 Profile"
                                       << "C" << false;
        QTest::newRow("to reserved not yet created") << "A"
                                                     << "T2 Profile" << false;
        QTest::newRow("onto dangling symlink") << "A"
                                               << "Link" << false;
    }

    void rename()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, renamed);
        ProfileFiles files(m_dir);
        QVERIFY(files.Write("A", Distinct()));
        QVERIFY(files.Write("B", ProfileFiles::NewProfileRecord()));
        QVERIFY(WriteAll(m_dir + "T1 Profile.qpf", Golden("T1 Profile")));
        MakeEntry("dangling", m_dir + "Link.qpf", Root() + "outside.qpf");
        auto expected = Snapshot(Root());
        if (renamed)
            expected.insert("data/Profiles/" + to + ".qpf",
                            expected.take("data/Profiles/" + from + ".qpf"));

        QCOMPARE(files.Rename(from, to), renamed);
        QCOMPARE(Snapshot(Root()), expected);
    }

    void remove_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("profile") << "A" << true;
        QTest::newRow("missing") << "Z" << false;
        QTest::newRow("reserved") << "T3 Profile" << false;
    }

    void remove()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        ProfileFiles files(m_dir);
        files.List();
        QVERIFY(files.Write("A", Distinct()));
        QVERIFY(files.Write("B", Distinct()));
        auto expected = Snapshot(Root());
        if (removed)
            expected.remove("data/Profiles/" + name + ".qpf");

        QCOMPARE(files.Remove(name), removed);
        QCOMPARE(Snapshot(Root()), expected);
    }
};

QTEST_GUILESS_MAIN(TestProfileFiles)
#include "tst_profilefiles.moc"
