#include "updater/qsimpleupdater.h"

#include "updater/updater.h"

QSimpleUpdater *QSimpleUpdater::getInstance()
{
    // Lives until the process ends, with its updaters.
    static QSimpleUpdater *instance = new QSimpleUpdater;
    return instance;
}

Updater *QSimpleUpdater::getUpdater(const QString &url)
{
    if (!m_urls.contains(url)) {
        auto *updater = new Updater(this);
        updater->setUrl(url);
        m_urls.append(url);
        m_updaters.append(updater);
        connect(updater, &Updater::checkingFinished, this, &QSimpleUpdater::checkingFinished);
        connect(updater, &Updater::downloadFinished, this, &QSimpleUpdater::downloadFinished);
        connect(updater, &Updater::appcastDownloaded, this, &QSimpleUpdater::appcastDownloaded);
    }
    return m_updaters.at(m_urls.indexOf(url));
}

bool QSimpleUpdater::getNotifyOnUpdate(const QString &url)
{
    return getUpdater(url)->notifyOnUpdate();
}
bool QSimpleUpdater::getNotifyOnFinish(const QString &url)
{
    return getUpdater(url)->notifyOnFinish();
}
bool QSimpleUpdater::getUpdateAvailable(const QString &url)
{
    return getUpdater(url)->updateAvailable();
}
bool QSimpleUpdater::getDownloaderEnabled(const QString &url)
{
    return getUpdater(url)->downloaderEnabled();
}
bool QSimpleUpdater::usesCustomAppcast(const QString &url)
{
    return getUpdater(url)->customAppcast();
}
bool QSimpleUpdater::usesCustomInstallProcedures(const QString &url)
{
    return getUpdater(url)->useCustomInstallProcedures();
}
QString QSimpleUpdater::getOpenUrl(const QString &url)
{
    return getUpdater(url)->openUrl();
}
QString QSimpleUpdater::getChangelog(const QString &url)
{
    return getUpdater(url)->changelog();
}
QString QSimpleUpdater::getModuleName(const QString &url)
{
    return getUpdater(url)->moduleName();
}
QString QSimpleUpdater::getDownloadUrl(const QString &url)
{
    return getUpdater(url)->downloadUrl();
}
QString QSimpleUpdater::getPlatformKey(const QString &url)
{
    return getUpdater(url)->platformKey();
}
QString QSimpleUpdater::getLatestVersion(const QString &url)
{
    return getUpdater(url)->latestVersion();
}
QString QSimpleUpdater::getModuleVersion(const QString &url)
{
    return getUpdater(url)->moduleVersion();
}
QString QSimpleUpdater::getUserAgentString(const QString &url)
{
    return getUpdater(url)->userAgentString();
}

void QSimpleUpdater::checkForUpdates(QString url)
{
    getUpdater(url)->checkForUpdates();
}
void QSimpleUpdater::setModuleName(QString url, QString name)
{
    getUpdater(url)->setModuleName(name);
}
void QSimpleUpdater::setNotifyOnUpdate(QString url, bool notify)
{
    getUpdater(url)->setNotifyOnUpdate(notify);
}
void QSimpleUpdater::setNotifyOnFinish(QString url, bool notify)
{
    getUpdater(url)->setNotifyOnFinish(notify);
}
void QSimpleUpdater::setPlatformKey(QString url, QString platform)
{
    getUpdater(url)->setPlatformKey(platform);
}
void QSimpleUpdater::setModuleVersion(QString url, QString version)
{
    getUpdater(url)->setModuleVersion(version);
}
void QSimpleUpdater::setDownloaderEnabled(QString url, bool enabled)
{
    getUpdater(url)->setDownloaderEnabled(enabled);
}
void QSimpleUpdater::setUserAgentString(QString url, QString agent)
{
    getUpdater(url)->setUserAgentString(agent);
}
void QSimpleUpdater::setUseCustomAppcast(QString url, bool customAppcast)
{
    getUpdater(url)->setUseCustomAppcast(customAppcast);
}
void QSimpleUpdater::setUseCustomInstallProcedures(QString url, bool custom)
{
    getUpdater(url)->setUseCustomInstallProcedures(custom);
}
void QSimpleUpdater::setMandatoryUpdate(QString url, bool mandatory_update)
{
    getUpdater(url)->setMandatoryUpdate(mandatory_update);
}
