#include "singleinstance.h"

#include "privatedir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <unistd.h>

namespace {

const QFile::Permissions kOthersAccess = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                         QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

// A lock file that names no process is one whose writer died between creating and
// filling it; a copy that is starting fills it within moments.
constexpr qint64 kUnfinishedLockAgeMs = 10 * 1000;

// $XDG_RUNTIME_DIR when it is a directory of this user that nobody else may enter, else
// empty. QStandardPaths is not asked: for an unset or unusable variable it answers
// $TMPDIR/runtime-<user>, a name anyone can guess in the shared temporary directory.
QString RuntimeDirectory()
{
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (!info.isDir() || info.ownerId() != uint(::geteuid()) ||
        (info.permissions() & kOthersAccess))
        return QString();
    return QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString &lockPath)
    : m_path(lockPath), m_lock(lockPath)
{
    // A running copy keeps its lock however long it runs; only a lock whose process is
    // gone counts as stale.
    m_lock.setStaleLockTime(0);
}

QString SingleInstanceGuard::DefaultLockPath()
{
    QString dir = RuntimeDirectory();
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
              QStringLiteral("/quorel-oradesk");
    return dir + QStringLiteral("/quorel-oradesk.lock");
}

bool SingleInstanceGuard::TryAcquire()
{
    if (m_lock.isLocked())
        return true;
    MakePrivateDirectory(QFileInfo(m_path).absolutePath());

    // Takes over a lock whose process has died or whose PID now runs another program.
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() != QLockFile::LockFailedError) {
        // Without a usable lock the program still runs rather than never starting.
        qWarning("Single-instance lock %s cannot be created", qPrintable(m_path));
        return true;
    }

    // QLockFile never counts a file that names no process as stale. One older than any start
    // takes was left by a copy that died while writing it and is cleared; clearing fails
    // anyway while a copy still has the file open.
    qint64 pid = 0;
    QString host;
    QString app;
    const QDateTime modified = QFileInfo(m_path).lastModified();
    const bool unfinished = !m_lock.getLockInfo(&pid, &host, &app) && modified.isValid() &&
                            modified.msecsTo(QDateTime::currentDateTime()) > kUnfinishedLockAgeMs;
    return unfinished && m_lock.removeStaleLockFile() && m_lock.tryLock(0);
}
