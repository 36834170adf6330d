#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QSettings;

// The application's settings file, shared by every page and by the updater. It lives in
// the user's own configuration directory, $XDG_CONFIG_HOME/quorel-oradesk (by default
// ~/.config/quorel-oradesk), created readable by the user alone, so no other local user
// can plant or redirect it.
class FileINI : public QObject
{
    Q_OBJECT

public:
    static const QString kSyncCodeKey;
    static const QString kUpdateDeviceCodeKey;
    static constexpr int kUpdateTypeCount = 24;

    explicit FileINI(QObject *parent = nullptr);
    ~FileINI() override;

    static QString FilePath();
    static QString DirectoryPath();

    void write(const QString &key, const QString &value);
    // The stored value as text; empty when the key is missing.
    QString read(const QString &key) const;

    // Keep-sync is on only for the exact text "true".
    static bool IsSyncOn(const QString &value) { return value == QStringLiteral("true"); }
    bool SyncCode() const { return IsSyncOn(read(kSyncCodeKey)); }
    void SetSyncCode(bool on);

    // The remembered update type; -1 when missing, not a number or out of range. The file
    // can be edited by hand and decides which firmware a recovery flashes, so no type is
    // guessed: the user names the model instead.
    static int ParseUpdateType(const QString &value);
    int UpdateDeviceCode() const { return ParseUpdateType(read(kUpdateDeviceCodeKey)); }
    void SetUpdateDeviceCode(int updateType);

private:
    std::unique_ptr<QSettings> m_settings;
};
