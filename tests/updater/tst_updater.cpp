// The update check and download against a real local HTTP(S) server, through
// the Help menus of the main window and the Backup File Editor, and the About
// box on the simulator and in the editor.
#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "app/mainwindow.h"
#include "app/settingskeys.h"
#include "app/versiondialog.h"
#include "backup/fileviewer.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"
#include "updater/appcast.h"
#include "updater/buildinfo.h"
#include "updater/downloader.h"
#include "updater/httptransfer.h"
#include "updater/qsimpleupdater.h"
#include "updater/updatepolicy.h"
#include "updater/updater.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {
// The tests' feed server (feed_server.py), plain or with TLS.
struct FeedServer
{
    QProcess process;
    QString base;

    bool start(const QString &root, const QStringList &tls = {})
    {
        process.start(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral(VRK6_TEST_DATA "/feed_server.py"), root} + tls);
        if (!process.waitForReadyRead(10000))
            return false;
        const QString scheme = tls.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
        base = QStringLiteral("%1://127.0.0.1:%2/").arg(scheme, process.readLine().trimmed());
        return true;
    }
    ~FeedServer()
    {
        process.kill();
        process.waitForFinished();
    }
};

// Answers every message box the updater shows, in order, and keeps what it said.
struct Boxes
{
    QStringList seen; // text, then informative text
    QList<QMessageBox::StandardButton> answers;
    QTimer timer;

    Boxes()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            seen << box->text() << box->informativeText();
            QAbstractButton *button =
                answers.isEmpty() ? nullptr : box->button(answers.takeFirst());
            (button ? button : box->buttons().first())->click();
        });
        timer.start(20);
    }
    QString last() const
    {
        return seen.value(seen.size() - 2) + '\n' + seen.value(seen.size() - 1);
    }
};

// The appcast key of the system the tests run on, told by the kernel.
QString runningPlatform()
{
    const QString kernel = QSysInfo::kernelType();
    return kernel == QLatin1StringView("winnt")    ? QStringLiteral("windows")
           : kernel == QLatin1StringView("darwin") ? QStringLiteral("macos")
                                                   : kernel;
}

// Opened URLs land here instead of on the desktop.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};
} // namespace

class TestUpdater : public QObject
{
    Q_OBJECT

    QTemporaryDir root;
    FeedServer http;
    FeedServer https;
    UrlSink sink;
    QByteArray payload;
    Acpu::OfflineConnection offline;
    Machine offlineMachine{&offline};
    std::unique_ptr<MainWindow> window;
    // The Backup File Editor, open for the whole test: its last window quits.
    std::unique_ptr<FileViewer> editor;

    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile file(root.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    void writeAppcast(const QJsonObject &entry, const QString &platform = runningPlatform())
    {
        writeFile(
            QStringLiteral("appcast.json"),
            QJsonDocument(QJsonObject{{QStringLiteral("updates"), QJsonObject{{platform, entry}}}})
                .toJson());
    }
    // A window's Help action on a feed (the main window's unless given); the boxes it showed.
    QString checkFromMenu(const QString &feed, Boxes &boxes, QWidget *menus = nullptr)
    {
        QSettings().setValue(SettingsKeys::UpdateFeed, feed);
        QSignalSpy finished(QSimpleUpdater::getInstance(), &QSimpleUpdater::checkingFinished);
        (menus ? menus : window.get())
            ->findChild<QAction *>(QStringLiteral("actionCheckUpdates"))
            ->trigger();
        if (!finished.wait(20000) && finished.isEmpty())
            return QStringLiteral("no end of the check");
        return boxes.seen.join('\n');
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        QCoreApplication::setApplicationVersion(BuildInfo::version());
        QVERIFY(root.isValid());
        payload.resize(300 * 1024);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(payload.data()),
                                      payload.size() / 4);
        writeFile(QStringLiteral("payload.bin"), payload);
        writeFile(QStringLiteral("notjson.json"), "<html>moved</html>");
        QVERIFY(http.start(root.path()));
        // A certificate of our own for the HTTPS server, trusted by this process only.
        const QString cert = root.filePath(QStringLiteral("cert.pem"));
        const QString key = root.filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        openssl.start(
            QStringLiteral("openssl"),
            QStringLiteral("req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                           "-addext subjectAltName=IP:127.0.0.1 -keyout %1 -out %2")
                .arg(key, cert)
                .split(QLatin1Char(' ')));
        QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        QVERIFY(ssl.addCaCertificates(cert));
        QSslConfiguration::setDefaultConfiguration(ssl);
        QVERIFY(https.start(root.path(), {QStringLiteral("--tls"), cert, key}));
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "open");
        QVERIFY(offline.SetHost(QStringLiteral("offline")));
        window = std::make_unique<MainWindow>(&offlineMachine);
        editor = std::make_unique<FileViewer>();
    }

    void init() { sink.urls.clear(); }
    void cleanupTestCase()
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    void versionRule()
    {
        QVERIFY(Appcast::isNewer(QStringLiteral("1.10"), QStringLiteral("1.9")));
        QVERIFY(!Appcast::isNewer(QStringLiteral("24.8.8"), QStringLiteral("24.8.8")));
        QVERIFY(Appcast::isNewer(QStringLiteral("24.9.0-beta"), QStringLiteral("24.8.8")));
    }

    void namesAndRedirects_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("redirectFrom");
        QTest::addColumn<bool>("redirectAllowed");
        const QString https = QStringLiteral("https://updates.example/a");
        const QString local = QStringLiteral("http://127.0.0.1:8/a");
        QTest::newRow("plain") << "https://updates.example/a/setup%20v2.exe"
                               << "setup v2.exe" << https << true;
        QTest::newRow("decoded once") << "https://h/a/x%252Fy"
                                      << "x%2Fy" << local << true;
        QTest::newRow("remote http") << "http://updates.example/a/"
                                     << "QSU_Update.bin" << local << false;
        QTest::newRow("dot dot") << "https://h/a/%2E%2E"
                                 << "QSU_Update.bin" << https << true;
        QTest::newRow("backslash") << "https://h/a/..%5Cevil"
                                   << "QSU_Update.bin" << https << true;
        QTest::newRow("other scheme") << "ftp://h/a/b.exe"
                                      << "b.exe" << https << false;
    }
    void namesAndRedirects()
    {
        QFETCH(QString, url);
        QTEST(UpdatePolicy::safeFileName(QUrl(url)), "name");
        QFETCH(QString, redirectFrom);
        QTEST(UpdatePolicy::isAllowedRedirect(QUrl(redirectFrom), QUrl(url)), "redirectAllowed");
    }

    // Whatever goes wrong, the user hears that the check failed, never "latest version".
    void checkOutcome_data()
    {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("expected");
        const QString ok = QStringLiteral("Congratulations! You are running the latest version");
        const QString unreadable = QStringLiteral("The update information could not be read.");
        const QString appcast = QStringLiteral("appcast.json");
        const QString here = runningPlatform();
        QTest::newRow("up to date") << appcast << here << ok;
        QTest::newRow("five redirects") << "hops/5/appcast.json" << here << ok;
        QTest::newRow("https") << "https:appcast.json" << here << ok;
        QTest::newRow("server down") << "down" << here << "Connection refused";
        QTest::newRow("404") << "status/404" << here << "Not Found";
        QTest::newRow("500") << "status/500" << here << "Internal Server Error";
        QTest::newRow("not json") << "notjson.json" << here << unreadable;
        QTest::newRow("other platform") << appcast << "windows-or-linux" << unreadable;
        QTest::newRow("six redirects") << "hops/6/appcast.json" << here << "redirect";
        QTest::newRow("https to http")
            << "https:to?url=HTTPappcast.json" << here << "Refused the redirect";
        QTest::newRow("huge") << "big/1100000" << here << "larger than";
        QTest::newRow("plain http elsewhere")
            << "http://192.0.2.1/appcast.json" << here << "only HTTPS";
    }
    void checkOutcome()
    {
        QFETCH(QString, feed);
        QFETCH(QString, platform);
        QFETCH(QString, expected);
        writeAppcast({{QStringLiteral("latest-version"), BuildInfo::version()}}, platform);
        feed.replace(QStringLiteral("HTTP"), http.base);
        if (feed.startsWith(QStringLiteral("https:")))
            feed = https.base + feed.mid(6);
        else if (feed == QStringLiteral("down"))
            feed = QStringLiteral("http://127.0.0.1:%1/appcast.json").arg(SimProcess::freePort());
        else if (!feed.startsWith(QStringLiteral("http")))
            feed.prepend(http.base);
        for (QWidget *menus :
             {static_cast<QWidget *>(window.get()), static_cast<QWidget *>(editor.get())}) {
            Boxes boxes;
            const QString said = checkFromMenu(feed, boxes, menus);
            QVERIFY2(said.contains(expected), qPrintable(said));
            QCOMPARE(boxes.seen.size(), 2);
            QCOMPARE(said.contains(QStringLiteral("The update check failed.")),
                     !expected.startsWith(QStringLiteral("Congratulations")));
            QVERIFY(sink.urls.isEmpty());
        }
    }

    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("sha256");
        QTest::addColumn<QString>("expected"); // the file's name, or the failure
        const QString sum = QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex();
        QString wrong = sum;
        wrong[0] = wrong[0] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
        QTest::newRow("with length") << "payload.bin" << QString() << "payload.bin";
        QTest::newRow("without length") << "nolength/payload.bin" << QString() << "payload.bin";
        QTest::newRow("hostile name") << "any/..%2F..%2Fevil" << QString() << "QSU_Update.bin";
        QTest::newRow("NUL") << "any/%00" << QString() << "QSU_Update.bin";
        QTest::newRow("trailing slash") << "any/dir/" << QString() << "QSU_Update.bin";
        QTest::newRow("slow start") << "slow/payload.bin" << QString() << "payload.bin";
        QTest::newRow("checksum right") << "payload.bin" << sum << "payload.bin";
        QTest::newRow("checksum wrong") << "payload.bin" << wrong << "checksum does not match";
        // Either end of a cut transfer may be seen first: the socket closing, or
        // fewer bytes than announced.
        QTest::newRow("cut") << "cut/payload.bin" << QString() << "closed|ended after";
        QTest::newRow("stalled") << "stall/payload.bin" << QString() << "stalled";
        QTest::newRow("six redirects") << "hops/6/payload.bin" << QString() << "redirect";
        QTest::newRow("over 2 GiB") << "announce/2147483649" << QString() << "larger than";
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(QString, sha256);
        QFETCH(QString, expected);
        QJsonObject entry{{QStringLiteral("latest-version"), QStringLiteral("99.0")},
                          {QStringLiteral("download-url"), http.base + path}};
        if (!sha256.isEmpty())
            entry.insert(QStringLiteral("sha256"), sha256);
        writeAppcast(entry);
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("a/b")));
        QTemporaryDir dir(root.filePath(QStringLiteral("a/b/XXXXXX")));
        const QString feed = http.base + QStringLiteral("appcast.json");
        Downloader *downloader = QSimpleUpdater::getInstance()->getUpdater(feed)->downloader();
        downloader->setDownloadDir(dir.path());
        QSignalSpy downloaded(downloader, &Downloader::downloadFinished);

        Boxes boxes;
        boxes.answers = {QMessageBox::Yes, QMessageBox::Ok};
        QVERIFY(
            checkFromMenu(feed, boxes, editor.get()).contains(QStringLiteral("Version 99.0 of")));
        QVERIFY(downloader->transfer());
        if (QTest::currentDataTag() == QLatin1StringView("stalled"))
            downloader->transfer()->setStallTimeout(1s);
        QTRY_VERIFY_WITH_TIMEOUT(!downloader->transfer()->isRunning() && boxes.seen.size() == 4,
                                 20000);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (!expected.contains(QLatin1Char('.'))) {
            QVERIFY2(boxes.last().contains(QRegularExpression(expected)), qPrintable(boxes.last()));
            QVERIFY(boxes.last().contains(QStringLiteral("could not be downloaded")));
            QVERIFY2(files.isEmpty(), qPrintable(files.join(' ')));
            QVERIFY(downloaded.isEmpty() && sink.urls.isEmpty());
            return;
        }
        QCOMPARE(files, QStringList{expected});
        QCOMPARE(sink.urls, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(expected))});
        QFile file(dir.filePath(expected));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == payload);
        QCOMPARE(downloaded.size(), 1);
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("a/evil"))));
        QTRY_VERIFY(!downloader->isVisible());
    }

    void openUrlAndCancel()
    {
        // A release page in the appcast is opened instead of downloading.
        const QString page = QStringLiteral("https://updates.example/release");
        writeAppcast({{QStringLiteral("latest-version"), QStringLiteral("99.0")},
                      {QStringLiteral("open-url"), page},
                      {QStringLiteral("download-url"), http.base + QStringLiteral("payload.bin")}});
        const QString feed = http.base + QStringLiteral("hops/1/appcast.json");
        Downloader *downloader = QSimpleUpdater::getInstance()->getUpdater(feed)->downloader();
        QTemporaryDir dir;
        downloader->setDownloadDir(dir.path());
        Boxes boxes;
        boxes.answers = {QMessageBox::Yes};
        checkFromMenu(feed, boxes);
        QCOMPARE(sink.urls, QList<QUrl>{QUrl(page)});
        QVERIFY(!downloader->transfer());

        // Stop asks first; No keeps the download going, Yes ends it with nothing left.
        writeAppcast(
            {{QStringLiteral("latest-version"), QStringLiteral("99.0")},
             {QStringLiteral("download-url"), http.base + QStringLiteral("stall/payload.bin")}});
        boxes.answers = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes};
        checkFromMenu(feed, boxes);
        QTRY_VERIFY(downloader->isVisible());
        QTRY_COMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"payload.bin.part"});
        auto *stop = downloader->findChild<QPushButton *>(QStringLiteral("stopButton"));
        stop->click();
        QVERIFY(boxes.seen.at(boxes.seen.size() - 2).startsWith(QStringLiteral("Are you sure")));
        QVERIFY(downloader->transfer()->isRunning() && downloader->isVisible());
        stop->click();
        QTRY_VERIFY(!downloader->transfer()->isRunning());
        QVERIFY(!downloader->isVisible());
        QCOMPARE(boxes.seen.size(), 8); // no failure box after a cancel
        QVERIFY(QDir(dir.path()).isEmpty());
        QCOMPARE(sink.urls.size(), 1);
    }

    void aboutBoxes()
    {
        SimProcess sim;
        QVERIFY(sim.start({QStringLiteral("--type"), QStringLiteral("ZumB1"),
                           QStringLiteral("--serial"), QStringLiteral("4321"),
                           QStringLiteral("--software"), QStringLiteral("615")}));
        Acpu::ModbusConnection connection;
        Machine machine(&connection);
        QVERIFY(connection.SetHost(sim.host()));
        QTRY_COMPARE_WITH_TIMEOUT(connection.State(), Acpu::Connection::Connected, 5000);
        QCOMPARE(RunToEnd(machine.requestIdentification()), QString());
        QVERIFY(machine.updateIdentification());
        MainWindow live(&machine);
        live.show();
        live.findChild<QAction *>(QStringLiteral("actionHelpAbout"))->trigger();
        QPointer<VersionDialog> about = live.findChild<VersionDialog *>();
        QVERIFY(about && about->isVisible());
        const QString text = about->findChild<QLabel *>(QStringLiteral("textLabel"))->text();
        QVERIFY2(text.contains(QStringLiteral("Connected machine: %1, S/N: 4321, SW: 6.15")
                                   .arg(machine.typeTitle())),
                 qPrintable(text));
        QVERIFY(text.contains(BuildInfo::buildId()));
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(about.isNull());

        // The editor's About has no machine.
        editor->findChild<QAction *>(QStringLiteral("actionHelpAbout"))->trigger();
        about = editor->findChild<VersionDialog *>();
        QVERIFY(about && about->isVisible());
        QVERIFY(about->findChild<QLabel *>(QStringLiteral("textLabel"))
                    ->text()
                    .contains(QStringLiteral("Connected machine: not connected")));
    }
};

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
