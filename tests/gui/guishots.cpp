// Renders the remote panel's windows into PNG files for a person to look at:
// the main window normal and zoomed, the target selection dialog with found
// machines, in English and in Czech. Not a test; run it under Xvfb:
//   gui_screenshots <output folder>
#include "acpu/offlineconnection.h"
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "mdns/service.h"
#include "model/machine.h"
#include "widgets/mdnstablemodel.h"
#include "widgets/mdnstableview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTest>
#include <QTranslator>

namespace {
void Save(QWidget *widget, const QString &path)
{
    QTest::qWait(400);
    widget->grab().save(path);
}

Mdns::Service MakeService(const char *name, const char *host, const char *key, const char *value)
{
    Mdns::Service service;
    service.setName(name);
    service.setType("_modbus._tcp.local.");
    service.setHostname(host);
    service.setPort(502);
    service.addAttribute(key, value);
    return service;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    for (const QString &lang : {QStringLiteral("en"), QStringLiteral("cs")}) {
        installTranslations(QLocale(lang));
        Acpu::OfflineConnection connection;
        Machine machine(&connection);
        connection.SetHost(QStringLiteral("127.0.0.1:1502"));
        {
            MainWindow window(&machine);
            window.show();
            Save(&window, out.filePath(lang + QStringLiteral("-main.png")));
            window.findChild<QAction *>(QStringLiteral("actionZoomWindow"))->trigger();
            Save(&window, out.filePath(lang + QStringLiteral("-main-zoomed.png")));
            window.findChild<QAction *>(QStringLiteral("actionZoomWindow"))->trigger();
            QTest::qWait(300);
            Save(&window, out.filePath(lang + QStringLiteral("-main-unzoomed.png")));
            connection.Close();
            connection.StopPolling();
            QTest::qWait(300);
            Save(&window, out.filePath(lang + QStringLiteral("-main-spinner.png")));
        }
        {
            HostnameDialog dialog(&machine, QString());
            dialog.show();
            auto *model = dialog.findChild<MdnsTableView *>()->mdnsModel();
            const Mdns::Service first =
                MakeService("VrkC1 1000", "vrk-1000.local.", "model", " VRK-C1  v8");
            const Mdns::Service second = MakeService("ZumB1 20", "zum-20.local.", "serial", " 20");
            QMetaObject::invokeMethod(model, "onServiceAdded", Q_ARG(Mdns::Service, first));
            QMetaObject::invokeMethod(model, "onServiceAdded", Q_ARG(Mdns::Service, second));
            QMetaObject::invokeMethod(
                model, "onServiceResolved", Q_ARG(Mdns::Service, first),
                Q_ARG(QHostAddress, QHostAddress(QStringLiteral("127.0.0.1"))));
            Save(&dialog, out.filePath(lang + QStringLiteral("-dialog.png")));
        }
    }
    return 0;
}
