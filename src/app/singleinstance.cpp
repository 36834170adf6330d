#include "singleinstance.h"

#include <QDir>
#include <QSystemSemaphore>

SingleInstanceGuard::SingleInstanceGuard(const QString &key) : m_key(key), m_memory(key) {}

QString SingleInstanceGuard::DefaultKey()
{
    // The UTF-8 bytes of the trade-mark sign become three Latin-1 characters, the same
    // for every copy.
    return QString::fromLatin1("Quorel™ Vexalon") + QLatin1Char('@') + QDir::homePath();
}

bool SingleInstanceGuard::TryAcquire()
{
    // Two copies starting at once must not both find the segment missing.
    QSystemSemaphore gate(m_key + QStringLiteral("#gate"), 1);
    gate.acquire();

    {
        // A segment whose creator died has no attachments left: attaching and detaching
        // once removes it, while a live copy's segment survives the visit.
        QSharedMemory stale(m_key);
        if (stale.attach(QSharedMemory::ReadOnly))
            stale.detach();
    }

    const bool otherCopy = m_memory.attach(QSharedMemory::ReadWrite);
    if (otherCopy)
        m_memory.detach();
    else
        m_memory.create(1, QSharedMemory::ReadWrite);

    gate.release();
    return !otherCopy;
}
