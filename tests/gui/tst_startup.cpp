// Start-up as the program runs it: the command line, its boxes and exit codes,
// and the remote panel flow against the simulator. A watcher answers the boxes
// and windows as a user would.
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "backup/backupdata.h"
#include "backup/fileviewer.h"
#include "common/simulateduser.h"
#include "privatenetwork.h"
#include "simprocess.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {
const QString NoDialog = QStringLiteral("(no dialog)");

// Runs the program with these options and answers as a user: boxes with Ok,
// an idle target dialog with Cancel. Remembers the boxes, the host the dialog
// showed and the title of the window it closes: the main window once it shows
// the machine's display, a file editor window once it has been up for a look
// (its load error comes just after it shows).
class Watcher : public QObject
{
public:
    SimulatedUser user;
    QString dialogHost = NoDialog, windowTitle;
    int exitCode = -1, windows = 0;

    explicit Watcher(const QStringList &options)
    {
        user.other = [](QDialog *dialog) {
            if (auto *target = qobject_cast<HostnameDialog *>(dialog); target && !target->isBusy())
                target->reject();
        };
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, &Watcher::look);
        timer.start(50);
        qApp->installEventFilter(this);
        exitCode = RunApplication(QStringList{QStringLiteral("vrk6-display")} + options);
        qApp->removeEventFilter(this);
    }

protected:
    // The dialog may be done before the timer looks: catch it being shown.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (auto *dialog = qobject_cast<HostnameDialog *>(watched);
            dialog && event->type() == QEvent::Show)
            dialogHost = dialog->findChild<QComboBox *>()->currentText();
        return false;
    }

private:
    void look()
    {
        if (QApplication::activeModalWidget())
            return;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *main = qobject_cast<MainWindow *>(widget);
            auto *file = qobject_cast<FileViewer *>(widget);
            if (!widget->isVisible() || !(main || file))
                continue;
            if (file ? seen.contains(file)
                     : !main->findChild<QLabel *>(QStringLiteral("display1"))
                            ->text()
                            .trimmed()
                            .isEmpty()) {
                windowTitle = widget->windowTitle();
                ++windows;
                widget->close();
                return; // closing may take other top-level widgets along
            }
            seen.insert(widget);
        }
    }
    QSet<QWidget *> seen;
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(OnlyLoopback(), "discovery must not reach a real network");
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(BackupData::write(path("full.vrk"), BackupData::json(BackupData::full())) &&
                BackupData::write(path("bad.vrk"), "{\"_machine\": "));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("box");    // a pattern for the one box, or no box
        QTest::addColumn<QString>("dialog"); // the host the target dialog showed, or none
        QTest::addColumn<QString>("title");  // how the one window's title starts, or no window
        const QString help = QStringLiteral("Backup file to open.");
        const QString error = QStringLiteral("</pre><hr/><pre>.*") + help; // complaint, help
        const QString none, noDialog = NoDialog;
        const QString unnamed = "Backup File Editor :: (unnamed)[*] (VRK-C1 (v. 6))";
        QTest::newRow("unknown") << "--bogus" << 22 << error << noDialog << none;
        QTest::newRow("no value") << "--lang" << 22 << error << noDialog << none;
        QTest::newRow("help") << "-h" << 0 << help << noDialog << none;
        QTest::newRow("help all") << "--help-all" << 0 << help << noDialog << none;
        QTest::newRow("version") << "-v" << 0 << QStringLiteral("VRK6 Remote Display 24.8.8")
                                 << noDialog << none;
        QTest::newRow("help wins") << "-v -h" << 0 << help << noDialog << none;
        QTest::newRow("offline") << "--offline" << 0 << none << noDialog
                                 << QStringLiteral("Unknown (v. 0) Remote Display");
        QTest::newRow("file alone") << "-f" << 0 << none << noDialog << unnamed;
        QTest::newRow("file and offline") << "-f -o" << 0 << none << noDialog << unnamed;
        QTest::newRow("file") << "-f " + path("full.vrk") << 0 << none << noDialog
                              << "Backup File Editor :: " +
                                     QDir::toNativeSeparators(path("full.vrk")) +
                                     "[*] (VRK-C1 (v. 8))";
        QTest::newRow("unreadable file")
            << "--file " + path("bad.vrk") << 0
            << QRegularExpression::escape("There was an error loading the backup file.\n" +
                                          QDir::toNativeSeparators(path("bad.vrk")))
            << noDialog << "Backup File Editor";
    }

    void commandLine()
    {
        QFETCH(QString, options);
        QFETCH(QString, box);
        QFETCH(QString, title);
        Watcher watcher(options.split(QLatin1Char(' ')));
        QTEST(watcher.exitCode, "exitCode");
        QCOMPARE(watcher.user.said.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(box.isEmpty() || watcher.user.said.first().contains(QRegularExpression(
                                     box, QRegularExpression::DotMatchesEverythingOption)));
        QTEST(watcher.dialogHost, "dialog");
        QCOMPARE(watcher.windows, title.isEmpty() ? 0 : 1);
        QVERIFY2(watcher.windowTitle.startsWith(title), qPrintable(watcher.windowTitle));
    }

    void hostGoesToTheDialogAndThePanelOpens()
    {
        SimProcess sim;
        QVERIFY(sim.start(QStringLiteral("--type VrkB2 --serial 812").split(QLatin1Char(' '))));
        Watcher watcher({QStringLiteral(" %1 ").arg(sim.host())}); // trimmed like a typed host
        QCOMPARE(watcher.exitCode, 0);
        QCOMPARE(watcher.dialogHost, sim.host());
        QCOMPARE(watcher.windowTitle,
                 QStringLiteral("VRK-B2 (v. 8) Remote Display :: S/N: 812 (%1)").arg(sim.host()));
    }
};

VRK6_GUI_TEST_MAIN(TestStartup, true)
#include "tst_startup.moc"
