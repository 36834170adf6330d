#pragma once

#include "protocol/profile_info.h"

#include <QString>
#include <QStringList>

// Profiles kept as files: one 90-byte record per file, "<name>.qpf", in the user's data
// directory. The bytes are stored in a fixed order of the record's fields (not record
// order), without header or checksum. Three reserved profiles always exist and are never
// overwritten. Names come from the device and from the directory, so only names of letters,
// digits and spaces, 1 to 15 characters, are ever turned into paths.
class ProfileFiles
{
public:
    static constexpr int kMaxNameLength = 15;
    static constexpr int kFileSize = PROFILE_INFO::kSize;

    // The reserved profiles, in list order: "T3 Profile", "T1 Profile", "T2 Profile".
    static const QStringList &ReservedNames();
    static bool IsReserved(const QString &name);
    // Letters, digits and spaces (ASCII), 1..15 characters: the name editor's rule.
    static bool IsValidName(const QString &name);

    // The record's bytes in file order, and back. Missing file bytes read as 0; bytes past
    // the record are ignored.
    static QByteArray Encode(const PROFILE_INFO &record);
    static PROFILE_INFO Decode(const QByteArray &bytes);
    // The record offset stored at each file byte.
    static int RecordOffsetOfFileByte(int fileByte);

    // What a new profile starts with, and the fixed contents of a reserved one.
    static PROFILE_INFO NewProfileRecord();
    static PROFILE_INFO ReservedRecord(const QString &name);

    // $XDG_DATA_HOME/quorel-oradesk/Profiles/ (by default ~/.local/share/...), with the
    // trailing slash.
    static QString DefaultDirectory();

    // directory: where the files are (tests give their own); created, open to the user
    // alone, on first use.
    explicit ProfileFiles(const QString &directory = DefaultDirectory());
    QString Directory() const { return m_directory; }

    // Re-creates missing reserved files, then returns the reserved names followed by the
    // names of the other regular files, oldest first, ".qpf" removed; names that are not
    // valid, and repeats, are left out.
    QStringList List();
    // Writes the record under name (the active profile's mirror): refused, with one log
    // line, for reserved or invalid names. Written through a temporary file and an atomic
    // rename, so a failure leaves the old file whole. Returns whether it was written.
    bool Write(const QString &name, const PROFILE_INFO &record);
    // Reads name's file into record (at most 90 bytes; missing ones 0). False, and record
    // untouched, when the name is invalid or the file cannot be opened.
    bool Read(const QString &name, PROFILE_INFO &record) const;
    bool Remove(const QString &name);
    bool Rename(const QString &from, const QString &to);

private:
    QString PathOf(const QString &name) const;
    bool Store(const QString &name, const PROFILE_INFO &record);
    void EnsureReserved();

    QString m_directory;
};
