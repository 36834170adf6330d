#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running in the same user session. The lock is
// a file in the user's runtime directory ($XDG_RUNTIME_DIR), or in the user's cache
// directory when that is unset or open to others; both are private to the user, so no
// other local user can take or fake the lock. The file names the process holding it: a
// lock left behind by a crashed copy names a process that is gone and is taken over, so a
// crash never locks the user out.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(const QString &lockPath = DefaultLockPath());

    // True when no other copy runs; this copy then holds the lock until destroyed. Also
    // true, with a warning, when the lock file cannot be created at all.
    bool TryAcquire();

    QString LockPath() const { return m_path; }
    static QString DefaultLockPath();

private:
    QString m_path;
    QLockFile m_lock;
};
