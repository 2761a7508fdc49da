#include "app/helpactions.h"

#include "app/settingskeys.h"
#include "app/versiondialog.h"
#include "updater/buildinfo.h"
#include "updater/qsimpleupdater.h"

#include <QCoreApplication>
#include <QSettings>

namespace HelpActions {

void showAbout(QWidget *parent, Machine *machine)
{
    auto *dialog = machine ? new VersionDialog(machine, parent) : new VersionDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void checkForUpdates()
{
    const QString url = updateFeedUrl();
    QSimpleUpdater *updater = QSimpleUpdater::getInstance();
    updater->setModuleVersion(url, QCoreApplication::applicationVersion());
    updater->setNotifyOnFinish(url, true);
    updater->setNotifyOnUpdate(url, true);
    updater->setUseCustomAppcast(url, false);
    updater->setDownloaderEnabled(url, true);
    updater->setMandatoryUpdate(url, false);
    updater->checkForUpdates(url);
}

QString updateFeedUrl()
{
    const QString feed = QSettings().value(SettingsKeys::UpdateFeed).toString();
    return feed.isEmpty() ? BuildInfo::defaultAppcastUrl() : feed;
}

} // namespace HelpActions
