#include "updater/updater.h"

#include "updater/appcast.h"
#include "updater/downloader.h"
#include "updater/httptransfer.h"
#include "updater/updatepolicy.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>

Updater::Updater(QObject *parent)
    : QObject(parent), m_userAgentString(QStringLiteral("%1/%2 (Qt; QSimpleUpdater)")
                                             .arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion())),
      m_platformKey(Appcast::platformKey()), m_moduleName(QCoreApplication::applicationName()),
      m_moduleVersion(QCoreApplication::applicationVersion()), m_downloader(new Downloader),
      m_manager(new QNetworkAccessManager(this))
{
    m_downloader->setUserAgentString(m_userAgentString);
    connect(m_downloader, &Downloader::downloadFinished, this, &Updater::downloadFinished);
}

Updater::~Updater()
{
    delete m_downloader;
}

bool Updater::useCustomInstallProcedures() const
{
    return m_downloader->useCustomInstallProcedures();
}

void Updater::checkForUpdates()
{
    // One check at a time: a second click would stack its boxes on the first.
    if (m_transfer)
        return;
    m_transfer = new HttpTransfer(m_manager, this);
    m_transfer->setUserAgent(m_userAgentString);
    m_transfer->setMaximumSize(UpdatePolicy::MaxAppcastSize);
    m_transfer->setTotalTimeout(UpdatePolicy::CheckTimeout);
    connect(m_transfer, &HttpTransfer::finished, this, &Updater::onReply);
    m_transfer->get(QUrl(m_url));
}

void Updater::onReply()
{
    HttpTransfer *transfer = m_transfer;
    m_transfer = nullptr;
    transfer->deleteLater();
    if (!transfer->errorString().isEmpty()) {
        reportFailure(transfer->errorString());
        return;
    }
    if (m_customAppcast) {
        emit appcastDownloaded(m_url, transfer->data());
        emit checkingFinished(m_url);
        return;
    }
    const auto entry = Appcast::parse(transfer->data(), m_platformKey);
    if (!entry) {
        reportFailure(tr("The update information could not be read."), entry.error());
        return;
    }
    m_openUrl = entry->openUrl;
    m_changelog = entry->changelog;
    m_downloadUrl = entry->downloadUrl;
    m_latestVersion = entry->latestVersion;
    m_sha256 = entry->sha256;
    if (entry->mandatoryUpdate)
        m_mandatoryUpdate = *entry->mandatoryUpdate;
    setUpdateAvailable(Appcast::isNewer(m_latestVersion, m_moduleVersion));
    emit checkingFinished(m_url);
}

void Updater::reportFailure(const QString &reason, const QString &details)
{
    m_updateAvailable = false;
    if (m_notifyOnFinish) {
        QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("<h3>%1</h3>").arg(tr("The update check failed.")),
                        QMessageBox::Close);
        box.setTextFormat(Qt::RichText);
        box.setInformativeText(reason);
        box.setDetailedText(details);
        box.exec();
    }
    emit checkingFinished(m_url);
}

void Updater::setUpdateAvailable(bool available)
{
    m_updateAvailable = available;
    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    box.setIcon(QMessageBox::Information);
    if (available && (m_notifyOnUpdate || m_notifyOnFinish)) {
        box.setText(
            QStringLiteral("<h3>%1</h3>")
                .arg(tr("Version %1 of %2 has been released!")
                         .arg(m_latestVersion.toHtmlEscaped(), m_moduleName.toHtmlEscaped())));
        box.setInformativeText(m_mandatoryUpdate
                                   ? tr("Would you like to download the update now? This is a "
                                        "mandatory update, exiting now will close the application")
                                   : tr("Would you like to download the update now?"));
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        if (box.exec() != QMessageBox::Yes) {
            if (m_mandatoryUpdate)
                QApplication::quit();
            return;
        }
        if (!m_openUrl.isEmpty()) {
            QDesktopServices::openUrl(QUrl(m_openUrl));
        } else if (m_downloaderEnabled) {
            const QUrl download(m_downloadUrl);
            m_downloader->setUrlId(m_url);
            m_downloader->setFileName(UpdatePolicy::safeFileName(download));
            m_downloader->setMandatoryUpdate(m_mandatoryUpdate);
            m_downloader->setExpectedSha256(m_sha256);
            m_downloader->startDownload(download);
        } else if (UpdatePolicy::isAllowedAddress(QUrl(m_downloadUrl))) {
            QDesktopServices::openUrl(QUrl(m_downloadUrl));
        }
    } else if (!available && m_notifyOnFinish) {
        box.setStandardButtons(QMessageBox::Close);
        box.setInformativeText(tr("No updates are available for the moment"));
        box.setText(QStringLiteral("<h3>%1</h3>")
                        .arg(tr("Congratulations! You are running the latest version of %1")
                                 .arg(m_moduleName.toHtmlEscaped())));
        box.exec();
    }
}

void Updater::setUrl(QString url)
{
    m_url = url;
}
void Updater::setModuleName(QString name)
{
    m_moduleName = name;
}
void Updater::setNotifyOnUpdate(bool notify)
{
    m_notifyOnUpdate = notify;
}
void Updater::setNotifyOnFinish(bool notify)
{
    m_notifyOnFinish = notify;
}
void Updater::setUserAgentString(QString agent)
{
    m_userAgentString = agent;
    m_downloader->setUserAgentString(agent);
}
void Updater::setModuleVersion(QString version)
{
    m_moduleVersion = version;
}
void Updater::setDownloaderEnabled(bool enabled)
{
    m_downloaderEnabled = enabled;
}
void Updater::setPlatformKey(QString platformKey)
{
    m_platformKey = platformKey;
}
void Updater::setUseCustomAppcast(bool customAppcast)
{
    m_customAppcast = customAppcast;
}
void Updater::setUseCustomInstallProcedures(bool custom)
{
    m_downloader->setUseCustomInstallProcedures(custom);
}
void Updater::setMandatoryUpdate(bool mandatory_update)
{
    m_mandatoryUpdate = mandatory_update;
}
