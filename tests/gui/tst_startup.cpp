// Start-up as the program runs it: the command line, its boxes and exit
// codes, and the remote panel flow against the simulator. The boxes and
// windows are answered by a watcher, as a user would.
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "privatenetwork.h"
#include "simprocess.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

// Watches the top-level widgets while start-up runs: remembers what the
// boxes, the dialog and the main window showed and closes them.
class Watcher : public QObject
{
public:
    QStringList boxTexts;
    QString dialogHost;
    QString windowTitle;
    QString displayLine;

    Watcher()
    {
        timer.setInterval(50);
        connect(&timer, &QTimer::timeout, this, &Watcher::look);
        timer.start();
        qApp->installEventFilter(this);
    }

protected:
    // The dialog may be done before the timer looks: catch it being shown.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *dialog = qobject_cast<HostnameDialog *>(watched))
                dialogHost = dialog->findChild<QComboBox *>()->currentText();
        }
        return false;
    }

private:
    void look()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible())
                continue;
            if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                boxTexts.append(box->text());
                box->done(QMessageBox::Ok);
            } else if (auto *window = qobject_cast<MainWindow *>(widget)) {
                // Close once the panel has been shown from the machine.
                const QString line =
                    window->findChild<QLabel *>(QStringLiteral("display1"))->text();
                if (line.startsWith(QStringLiteral("ABCDEFGH")))
                    continue;
                windowTitle = window->windowTitle();
                displayLine = line;
                window->close();
            }
        }
    }

    QTimer timer;
};

int Run(const QStringList &options)
{
    return RunApplication(QStringList{QStringLiteral("vrk6-display")} + options);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void badCommandLineExits22();
    void helpAndVersion();
    void hostGoesToTheDialogAndThePanelOpens();
    void offlineOpensTheWindowOnly();
    void fileOptionStartsNoPanel();
};

void TestStartup::initTestCase()
{
    QVERIFY2(OnlyLoopback(), "discovery must not reach a real network");
    QStandardPaths::setTestModeEnabled(true);
}

void TestStartup::badCommandLineExits22()
{
    for (const QStringList &options :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("--lang")}}) {
        Watcher watcher;
        QCOMPARE(Run(options), 22);
        QCOMPARE(watcher.boxTexts.size(), 1);
        QVERIFY(watcher.boxTexts.first().startsWith(QStringLiteral("<html><head/><body><pre>")));
        // The parser's complaint, then the help text.
        QVERIFY(watcher.boxTexts.first().contains(QStringLiteral("<hr/>")));
        QVERIFY(watcher.boxTexts.first().contains(QStringLiteral("--offline")));
    }
}

void TestStartup::helpAndVersion()
{
    {
        Watcher watcher;
        QCOMPARE(Run({QStringLiteral("-h")}), 0);
        QCOMPARE(watcher.boxTexts.size(), 1);
        const QString help = watcher.boxTexts.first();
        QVERIFY(help.contains(QStringLiteral("Run in offline mode.")));
        QVERIFY(help.contains(QStringLiteral("Machine IP address.")));
        QVERIFY(help.contains(QStringLiteral("Backup file to open.")));
        QVERIFY(help.contains(QStringLiteral("&lt;lang&gt;")));
    }
    {
        Watcher watcher;
        QCOMPARE(Run({QStringLiteral("-v")}), 0);
        QCOMPARE(watcher.boxTexts,
                 QStringList{QStringLiteral(
                     "<html><head/><body><p>VRK6 Remote Display 24.8.8</p></body></html>")});
    }
    {
        // Help wins over the version.
        Watcher watcher;
        QCOMPARE(Run({QStringLiteral("-v"), QStringLiteral("-h")}), 0);
        QCOMPARE(watcher.boxTexts.size(), 1);
        QVERIFY(watcher.boxTexts.first().contains(QStringLiteral("<pre>")));
    }
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VRK6 Remote Display"));
}

void TestStartup::hostGoesToTheDialogAndThePanelOpens()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--type"), QStringLiteral("VrkB2"),
                       QStringLiteral("--serial"), QStringLiteral("812")}));
    QSettings().remove(QStringLiteral("hostnames"));
    Watcher watcher;
    QCOMPARE(Run({sim.host()}), 0);
    QCOMPARE(watcher.dialogHost, sim.host());
    QCOMPARE(watcher.windowTitle,
             QStringLiteral("VRK-B2 (v. 8) Remote Display :: S/N: 812 (%1)").arg(sim.host()));
    QVERIFY(!watcher.displayLine.isEmpty());
    QCOMPARE(QSettings().value(QStringLiteral("hostnames")).toStringList(),
             QStringList{sim.host()});
}

void TestStartup::offlineOpensTheWindowOnly()
{
    Watcher watcher;
    QCOMPARE(Run({QStringLiteral("--offline")}), 0);
    QVERIFY(watcher.dialogHost.isEmpty());
    QCOMPARE(watcher.displayLine, QStringLiteral("===================="));
    QVERIFY(watcher.windowTitle.startsWith(QStringLiteral("Unknown (v. 0) Remote Display")));
}

void TestStartup::fileOptionStartsNoPanel()
{
    Watcher watcher;
    QCOMPARE(Run({QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("backup.vrk")}), 0);
    QVERIFY(watcher.windowTitle.isEmpty());
    QVERIFY(watcher.dialogHost.isEmpty());
}

VRK6_PRIVATE_NETWORK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
