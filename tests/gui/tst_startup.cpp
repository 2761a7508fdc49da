// Start-up as the program runs it: the command line, its boxes and exit codes,
// and the remote panel flow against the simulator. A watcher answers the boxes
// and windows as a user would.
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "privatenetwork.h"
#include "simprocess.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace {
const QString NoDialog = QStringLiteral("(no dialog)");

// Remembers what the boxes, the dialog and the main window showed, and closes them.
class Watcher : public QObject
{
public:
    QStringList boxTexts;
    QString dialogHost = NoDialog, windowTitle;

    explicit Watcher(const QStringList &options)
    {
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, &Watcher::look);
        timer.start(50);
        qApp->installEventFilter(this);
        exitCode = runApplication(QStringList{QStringLiteral("vrk6-display")} + options);
        qApp->removeEventFilter(this);
    }
    int exitCode = -1;

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
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible())
                continue;
            if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                boxTexts.append(box->text());
                box->done(QMessageBox::Ok);
            } else if (auto *dialog = qobject_cast<HostnameDialog *>(widget);
                       dialog && !dialog->isBusy() && !dialog->findChild<QMessageBox *>()) {
                dialog->reject(); // nothing to wait for
            } else if (auto *window = qobject_cast<MainWindow *>(widget);
                       window && !window->findChild<QLabel *>(QStringLiteral("display1"))
                                      ->text()
                                      .trimmed()
                                      .isEmpty()) {
                // Closed once the panel shows the machine's display.
                windowTitle = window->windowTitle();
                window->close();
            }
        }
    }
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(OnlyLoopback(), "discovery must not reach a real network");
        QStandardPaths::setTestModeEnabled(true);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("box");    // a pattern for the one box, or no box
        QTest::addColumn<QString>("dialog"); // the host the target dialog showed, or none
        QTest::addColumn<QString>("title");  // how the main window's title starts, or no window
        const QString help = QStringLiteral("Backup file to open.");
        const QString error = QStringLiteral("</pre><hr/><pre>.*") + help; // complaint, help
        const QString none, noDialog = NoDialog;
        QTest::newRow("unknown") << "--bogus" << 22 << error << noDialog << none;
        QTest::newRow("no value") << "--lang" << 22 << error << noDialog << none;
        QTest::newRow("help") << "-h" << 0 << help << noDialog << none;
        QTest::newRow("help all") << "--help-all" << 0 << help << noDialog << none;
        QTest::newRow("version") << "-v" << 0 << QStringLiteral("VRK6 Remote Display 24.8.8")
                                 << noDialog << none;
        QTest::newRow("help wins") << "-v -h" << 0 << help << noDialog << none;
        QTest::newRow("offline") << "--offline" << 0 << none << noDialog
                                 << QStringLiteral("Unknown (v. 0) Remote Display");
    }

    void commandLine()
    {
        QFETCH(QString, options);
        QFETCH(QString, box);
        QFETCH(QString, title);
        Watcher watcher(options.split(QLatin1Char(' ')));
        QTEST(watcher.exitCode, "exitCode");
        QCOMPARE(watcher.boxTexts.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(box.isEmpty() || watcher.boxTexts.first().contains(QRegularExpression(
                                     box, QRegularExpression::DotMatchesEverythingOption)));
        QTEST(watcher.dialogHost, "dialog");
        QVERIFY2(title.isEmpty() == watcher.windowTitle.isEmpty() &&
                     watcher.windowTitle.startsWith(title),
                 qPrintable(watcher.windowTitle));
    }

    void hostGoesToTheDialogAndThePanelOpens()
    {
        SimProcess sim;
        QVERIFY(sim.start(QStringLiteral("--type VrkB2 --serial 812").split(QLatin1Char(' '))));
        QSettings().remove(QStringLiteral("hostnames"));
        Watcher watcher({QStringLiteral(" %1 ").arg(sim.host())}); // trimmed like a typed host
        QCOMPARE(watcher.exitCode, 0);
        QCOMPARE(watcher.dialogHost, sim.host());
        QCOMPARE(watcher.windowTitle,
                 QStringLiteral("VRK-B2 (v. 8) Remote Display :: S/N: 812 (%1)").arg(sim.host()));
        QCOMPARE(QSettings().value(QStringLiteral("hostnames")).toStringList(),
                 QStringList{sim.host()});
    }
};

VRK6_GUI_TEST_MAIN(TestStartup, true)
#include "tst_startup.moc"
