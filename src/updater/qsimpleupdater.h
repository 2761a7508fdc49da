#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Updater;

// The process-wide update facade: one Updater per appcast URL, its signals
// relayed, every setting and state addressed by the appcast URL.
class QSimpleUpdater : public QObject
{
    Q_OBJECT
public:
    static QSimpleUpdater *getInstance();

    // The updater of an appcast URL, created on first use.
    Updater *getUpdater(const QString &url);

    bool getNotifyOnUpdate(const QString &url);
    bool getNotifyOnFinish(const QString &url);
    bool getUpdateAvailable(const QString &url);
    bool getDownloaderEnabled(const QString &url);
    bool usesCustomAppcast(const QString &url);
    bool usesCustomInstallProcedures(const QString &url);
    QString getOpenUrl(const QString &url);
    QString getChangelog(const QString &url);
    QString getModuleName(const QString &url);
    QString getDownloadUrl(const QString &url);
    QString getPlatformKey(const QString &url);
    QString getLatestVersion(const QString &url);
    QString getModuleVersion(const QString &url);
    QString getUserAgentString(const QString &url);

signals:
    void checkingFinished(QString url);
    void appcastDownloaded(QString url, QByteArray data);
    void downloadFinished(QString url, QString filepath);

public slots:
    void checkForUpdates(QString url);
    void setModuleName(QString url, QString name);
    void setNotifyOnUpdate(QString url, bool notify);
    void setNotifyOnFinish(QString url, bool notify);
    void setPlatformKey(QString url, QString platform);
    void setModuleVersion(QString url, QString version);
    void setDownloaderEnabled(QString url, bool enabled);
    void setUserAgentString(QString url, QString agent);
    void setUseCustomAppcast(QString url, bool customAppcast);
    void setUseCustomInstallProcedures(QString url, bool custom);
    void setMandatoryUpdate(QString url, bool mandatory_update);

private:
    QSimpleUpdater() = default;

    QStringList m_urls;
    QList<Updater *> m_updaters;
};
