#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Downloader;
#include "updater/httptransfer.h"
class QNetworkAccessManager;

// Checks one appcast for a newer version of a module and asks the user what
// to do with it: open the release page, download the installer, or nothing.
class Updater : public QObject
{
    Q_OBJECT
public:
    explicit Updater(QObject *parent = nullptr);
    ~Updater() override;

    QString url() const { return m_url; }
    QString openUrl() const { return m_openUrl; }
    QString changelog() const { return m_changelog; }
    QString moduleName() const { return m_moduleName; }
    QString downloadUrl() const { return m_downloadUrl; }
    QString platformKey() const { return m_platformKey; }
    QString userAgentString() const { return m_userAgentString; }
    QString moduleVersion() const { return m_moduleVersion; }
    QString latestVersion() const { return m_latestVersion; }
    bool customAppcast() const { return m_customAppcast; }
    bool notifyOnUpdate() const { return m_notifyOnUpdate; }
    bool notifyOnFinish() const { return m_notifyOnFinish; }
    bool mandatoryUpdate() const { return m_mandatoryUpdate; }
    bool updateAvailable() const { return m_updateAvailable; }
    bool downloaderEnabled() const { return m_downloaderEnabled; }
    bool useCustomInstallProcedures() const;
    Downloader *downloader() const { return m_downloader; }

signals:
    void checkingFinished(QString url);
    void downloadFinished(QString url, QString filepath);
    void appcastDownloaded(QString url, QByteArray data);

public slots:
    void checkForUpdates();
    void setUrl(QString url);
    void setModuleName(QString name);
    void setNotifyOnUpdate(bool notify);
    void setNotifyOnFinish(bool notify);
    void setUserAgentString(QString agent);
    void setModuleVersion(QString version);
    void setDownloaderEnabled(bool enabled);
    void setPlatformKey(QString platformKey);
    void setUseCustomAppcast(bool customAppcast);
    void setUseCustomInstallProcedures(bool custom);
    void setMandatoryUpdate(bool mandatory_update);

private slots:
    void onReply();
    void setUpdateAvailable(bool available);

private:
    // The check could not tell whether an update exists: never "up to date".
    void reportFailure(const QString &reason, const QString &details = {});

    QString m_url;
    QString m_userAgentString;
    bool m_customAppcast = false;
    bool m_notifyOnUpdate = true;
    bool m_notifyOnFinish = false;
    bool m_updateAvailable = false;
    bool m_downloaderEnabled = true;
    bool m_mandatoryUpdate = false;
    QString m_openUrl;
    QString m_platformKey;
    QString m_changelog;
    QString m_moduleName;
    QString m_downloadUrl;
    QString m_moduleVersion;
    QString m_latestVersion;
    // Expected SHA-256 of the download (hex), when the appcast gives one.
    QByteArray m_sha256;
    Downloader *m_downloader;
    QNetworkAccessManager *m_manager;
    // The check in progress.
    QPointer<HttpTransfer> m_transfer;
};
