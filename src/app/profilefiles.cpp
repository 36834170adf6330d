#include "profilefiles.h"

#include "privatedir.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kSize = PROFILE_INFO::kSize;
const QString kSuffix = QStringLiteral(".qpf");

// File byte i holds record offset kFileOrder[i].
constexpr std::array<uint8_t, kSize> MakeFileOrder()
{
    std::array<uint8_t, kSize> order{};
    int i = 0;
    auto put = [&order, &i](int offset) { order[i++] = static_cast<uint8_t>(offset); };
    for (int k = 0; k < 23; ++k) // button map, turbo mask, status byte, current profile
        put(k);
    for (int k = 32; k < 48; ++k) // left then right stick curve
        put(k);
    for (int k = 27; k < 31; ++k) // stick inside/outside
        put(k);
    for (int k = 23; k < 27; ++k) // stick axis reversal
        put(k);
    put(31); // curve side
    put(48);
    put(49);
    for (int level = 0; level < PROFILE_INFO::kTriggerLevels; ++level) {
        put(53 + level); // left end
        put(50 + level); // left start
        put(59 + level); // right end
        put(56 + level); // right start
    }
    put(64);
    put(65);
    put(62);
    put(63);
    for (int area = 0; area < PROFILE_INFO::kLightZones; ++area) {
        const int a = 66 + PROFILE_INFO::kLightZoneBytes * area;
        for (int k : {0, 3, 4, 5, 2, 1}) // brightness, red, green, blue, mode, speed
            put(a + k);
    }
    return order;
}

constexpr std::array<uint8_t, kSize> kFileOrder = MakeFileOrder();

constexpr bool IsPermutation(const std::array<uint8_t, kSize> &order)
{
    std::array<bool, kSize> seen{};
    for (uint8_t offset : order) {
        if (offset >= kSize || seen[offset])
            return false;
        seen[offset] = true;
    }
    return true;
}
static_assert(IsPermutation(kFileOrder), "every record byte must be stored exactly once");

// Offsets of one light area's fields, counted from the area's first byte.
constexpr int kLightBrightness = 0;
constexpr int kLightGreen = 4;

struct ReservedProfile
{
    const char *name;
    uint8_t leftEnd;
    uint8_t rightEnd;
};

// In list order.
constexpr ReservedProfile kReserved[] = {
    {"T3 Profile", 100, 100},
    {"T1 Profile", 1, 0},
    {"T2 Profile", 50, 50},
};

// The entry at path itself, symlinks not followed.
bool IsRegularFile(const QFileInfo &info)
{
    return !info.isSymLink() && info.isFile();
}

bool EntryExists(const QFileInfo &info)
{
    // exists() follows symlinks, so a dangling one would look absent.
    return info.exists() || info.isSymLink();
}

} // namespace

const QStringList &ProfileFiles::ReservedNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const ReservedProfile &reserved : kReserved)
            list << QString::fromLatin1(reserved.name);
        return list;
    }();
    return names;
}

bool ProfileFiles::IsReserved(const QString &name)
{
    return ReservedNames().contains(name);
}

bool ProfileFiles::IsValidName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
               u == ' ';
    });
}

QByteArray ProfileFiles::Encode(const PROFILE_INFO &record)
{
    QByteArray bytes(kSize, '\0');
    for (int i = 0; i < kSize; ++i)
        bytes[i] = static_cast<char>(record.bytes()[kFileOrder[i]]);
    return bytes;
}

PROFILE_INFO ProfileFiles::Decode(const QByteArray &bytes)
{
    PROFILE_INFO record;
    std::memset(&record, 0, sizeof record);
    const int n = std::min(static_cast<int>(bytes.size()), kSize);
    for (int i = 0; i < n; ++i)
        record.bytes()[kFileOrder[i]] = static_cast<uint8_t>(bytes[i]);
    return record;
}

int ProfileFiles::RecordOffsetOfFileByte(int fileByte)
{
    return fileByte >= 0 && fileByte < kSize ? kFileOrder[fileByte] : -1;
}

PROFILE_INFO ProfileFiles::NewProfileRecord()
{
    PROFILE_INFO record;
    std::memset(&record, 0, sizeof record);
    for (int k = 0; k < 6; ++k)
        record.buttonMap[k] = static_cast<uint8_t>(0x12 + k);
    for (int k = 6; k < 14; ++k)
        record.buttonMap[k] = static_cast<uint8_t>(0x20 + k - 6);
    for (int k = 14; k < 20; ++k)
        record.buttonMap[k] = 0x40;
    static constexpr uint8_t kCurve[8] = {20, 20, 40, 40, 60, 60, 80, 80};
    std::memcpy(record.stickCurveL, kCurve, sizeof kCurve);
    std::memcpy(record.stickCurveR, kCurve, sizeof kCurve);
    record.triggerVibrationL = record.triggerVibrationR = 100;
    record.motorVibrationL = record.motorVibrationR = 100;
    for (int area = 0; area < PROFILE_INFO::kLightZones; ++area) {
        uint8_t *light = record.lightAreas + PROFILE_INFO::kLightZoneBytes * area;
        light[kLightBrightness] = 100;
        light[kLightGreen] = 128;
    }
    return record;
}

PROFILE_INFO ProfileFiles::ReservedRecord(const QString &name)
{
    PROFILE_INFO record = NewProfileRecord();
    for (const ReservedProfile &reserved : kReserved) {
        if (name != QLatin1String(reserved.name))
            continue;
        for (int level = 0; level < PROFILE_INFO::kTriggerLevels; ++level) {
            record.triggerLStart[level] = record.triggerRStart[level] = 0;
            record.triggerLEnd[level] = reserved.leftEnd;
            record.triggerREnd[level] = reserved.rightEnd;
        }
    }
    return record;
}

QString ProfileFiles::DefaultDirectory()
{
    // A fixed folder rather than AppDataLocation, so every executable finds the same files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quorel-oradesk/Profiles/");
}

ProfileFiles::ProfileFiles(const QString &directory)
{
    // An empty path would put the files in whatever the current directory is.
    const QString dir = directory.isEmpty() ? DefaultDirectory() : directory;
    m_directory = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    if (!m_directory.endsWith(QLatin1Char('/')))
        m_directory += QLatin1Char('/');
}

QString ProfileFiles::PathOf(const QString &name) const
{
    return m_directory + name + kSuffix;
}

void ProfileFiles::EnsureReserved()
{
    for (const QString &name : ReservedNames()) {
        // Whatever the user or anything else put under the name stays as it is.
        if (!EntryExists(QFileInfo(PathOf(name))))
            Store(name, ReservedRecord(name));
    }
}

QStringList ProfileFiles::List()
{
    EnsureReserved();
    QStringList names = ReservedNames();

    QFileInfoList files;
    const QDir dir(m_directory);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (IsRegularFile(info))
            files << info;
    }
    std::sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const qint64 ta = a.lastModified().toMSecsSinceEpoch();
        const qint64 tb = b.lastModified().toMSecsSinceEpoch();
        return ta != tb ? ta < tb : a.fileName() < b.fileName();
    });

    for (const QFileInfo &info : files) {
        const QString fileName = info.fileName();
        const QString name = QString(fileName).remove(kSuffix);
        if (names.contains(name))
            continue;
        // Only a file the name leads back to can be loaded, renamed or removed later.
        if (!IsValidName(name) || fileName != name + kSuffix) {
            qDebug() << "profile file skipped:" << fileName;
            continue;
        }
        names << name;
    }
    return names;
}

bool ProfileFiles::Write(const QString &name, const PROFILE_INFO &record)
{
    if (IsReserved(name)) {
        qDebug() << "默认文件不得修改:" << name;
        return false;
    }
    if (!IsValidName(name)) {
        qDebug() << "profile name refused:" << name;
        return false;
    }
    qDebug() << "color:" << record.bytes()[88];
    return Store(name, record);
}

bool ProfileFiles::Store(const QString &name, const PROFILE_INFO &record)
{
    MakePrivateDirectory(m_directory);
    const QString path = PathOf(name);
    // QSaveFile writes through a symlink to its target, which may lie anywhere.
    const QFileInfo existing(path);
    if (EntryExists(existing) && !IsRegularFile(existing)) {
        qDebug() << "profile file is not a regular file, not written:" << path;
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = Encode(record);
    // commit() alone misses a write that fails while it flushes (a full disk, a size
    // limit) and would put a short file in place of the old one.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        qDebug() << "profile file not written:" << path << file.errorString();
        return false;
    }
    return true;
}

bool ProfileFiles::Read(const QString &name, PROFILE_INFO &record) const
{
    if (!IsValidName(name))
        return false;
    const QString path = PathOf(name);
    // Also keeps a named pipe from blocking the read.
    if (!IsRegularFile(QFileInfo(path)))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    record = Decode(file.read(kSize));
    return true;
}

bool ProfileFiles::Remove(const QString &name)
{
    if (!IsValidName(name) || IsReserved(name))
        return false;
    const QString path = PathOf(name);
    const bool removed = QFile::remove(path);
    qDebug() << "删除文件" << path << (removed ? "成功！！" : "失败！！");
    return removed;
}

bool ProfileFiles::Rename(const QString &from, const QString &to)
{
    if (!IsValidName(from) || !IsValidName(to) || IsReserved(from) || IsReserved(to))
        return false;
    const QString source = PathOf(from);
    const QString target = PathOf(to);
    // Never replace another profile, nor whatever else holds the new name.
    const bool renamed = IsRegularFile(QFileInfo(source)) && !EntryExists(QFileInfo(target)) &&
                         QFile::rename(source, target);
    if (renamed)
        qDebug() << "重命名文件为" << target << "成功！！";
    else
        qDebug() << "重命名文件" << source << "失败！！";
    return renamed;
}
