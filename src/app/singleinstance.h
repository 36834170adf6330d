#pragma once

#include <QSharedMemory>
#include <QString>

// Keeps a second copy of the program from running in the same user session. The lock
// is a one-byte shared-memory segment; a segment left behind by a crashed copy is
// cleared before the check, so a crash never locks the user out.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(const QString &key = DefaultKey());

    // True when no other copy runs; this copy then holds the lock until destroyed.
    bool TryAcquire();

    // The fixed program key, its bytes taken as Latin-1, made per user by the home path.
    static QString DefaultKey();

private:
    QString m_key;
    QSharedMemory m_memory;
};
