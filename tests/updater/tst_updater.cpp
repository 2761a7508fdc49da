// The update check and download against a real local HTTP(S) server, through
// the Help menus of the main window and the Backup File Editor, and the About
// box on the simulator and in the editor.
#include "acpu/offlineconnection.h"
#include "app/mainwindow.h"
#include "app/settingskeys.h"
#include "app/versiondialog.h"
#include "backup/fileviewer.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simulateduser.h"
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
#include <QNetworkAccessManager>
#include <QProcess>
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
using namespace Qt::StringLiterals;

namespace {
// The appcast key of the system the tests run on, told by the kernel.
const QString runningPlatform =
    QHash<QString, QString>{{u"winnt"_s, u"windows"_s}, {u"darwin"_s, u"macos"_s}}.value(
        QSysInfo::kernelType(), QSysInfo::kernelType());

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
    // The tests' feed server (feed_server.py) on HTTP and on HTTPS, with a
    // certificate of its own that this process trusts; its bases.
    QProcess server;
    QString http, https;
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
    void writeAppcast(const QJsonObject &entry, const QString &name = u"appcast.json"_s,
                      const QString &platform = runningPlatform)
    {
        writeFile(
            name,
            QJsonDocument(QJsonObject{{u"updates"_s, QJsonObject{{platform, entry}}}}).toJson());
    }
    // A window's Help action on a feed (the main window's unless given); the boxes it showed.
    QString checkFromMenu(const QString &feed, SimulatedUser &user, QWidget *menus = nullptr)
    {
        QSettings().setValue(SettingsKeys::UpdateFeed, feed);
        QSignalSpy finished(QSimpleUpdater::getInstance(), &QSimpleUpdater::checkingFinished);
        (menus ? menus : window.get())->findChild<QAction *>(u"actionCheckUpdates"_s)->trigger();
        if (!finished.wait(20000) && finished.isEmpty())
            return u"no end of the check"_s;
        return user.said.join('\n');
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
        writeFile(u"payload.bin"_s, payload);
        writeFile(u"big.json"_s, QByteArray(1100000, '{'));
        writeAppcast({{u"latest-version"_s, u"99.0"_s}}, u"elsewhere.json"_s,
                     u"windows-or-linux"_s);
        server.start(u"/usr/bin/python3"_s,
                     {QStringLiteral(VRK6_TEST_DATA "/feed_server.py"), root.path()});
        QVERIFY(QTest::qWaitFor([this] { return server.canReadLine(); }, 60000));
        const QList<QByteArray> ports = server.readLine().simplified().split(' ');
        http = u"http://127.0.0.1:%1/"_s.arg(ports.value(0));
        https = u"https://127.0.0.1:%1/"_s.arg(ports.value(1));
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        QVERIFY(ssl.addCaCertificates(root.filePath(u"cert.pem"_s)));
        QSslConfiguration::setDefaultConfiguration(ssl);
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "open");
        QVERIFY(offline.SetHost(u"offline"_s));
        window = std::make_unique<MainWindow>(&offlineMachine);
        editor = std::make_unique<FileViewer>();
    }

    void init() { sink.urls.clear(); }
    void cleanupTestCase()
    {
        server.kill();
        server.waitForFinished();
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    void versionRule()
    {
        QVERIFY(Appcast::isNewer(u"1.10"_s, u"1.9"_s));
        QVERIFY(Appcast::isNewer(u"24.9.0-beta"_s, u"24.8.8"_s));
    }

    void namesAndRedirects_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("redirectFrom");
        QTest::addColumn<bool>("redirectAllowed");
        QTest::addColumn<QString>("name");
        const QString https = u"https://updates.example/a"_s, local = u"http://127.0.0.1:8/a"_s;
        const QString fallback = u"QSU_Update.bin"_s;
        QTest::newRow("plain") << "https://updates.example/a/setup%20v2.exe" << https << true
                               << "setup v2.exe";
        QTest::newRow("decoded once") << "https://h/a/x%252Fy" << local << true << "x%2Fy";
        QTest::newRow("remote http") << "http://updates.example/a/" << local << false << fallback;
        QTest::newRow("dot dot") << "https://h/a/%2E%2E" << https << true << fallback;
        QTest::newRow("backslash") << "https://h/a/..%5Cevil" << https << true << fallback;
        QTest::newRow("NUL") << "https://h/a/%00" << https << true << fallback;
        QTest::newRow("other scheme") << "ftp://h/a/b.exe" << https << false << "b.exe";
    }
    void namesAndRedirects()
    {
        QFETCH(QString, url);
        QFETCH(QString, redirectFrom);
        QTEST(UpdatePolicy::isAllowedRedirect(QUrl(redirectFrom), QUrl(url)), "redirectAllowed");
        QTEST(UpdatePolicy::safeFileName(QUrl(url)), "name");
    }

    // Whatever goes wrong, the user hears that the check failed, never "latest version".
    void checkOutcome_data()
    {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<QString>("expected");
        const QString ok = u"Congratulations! You are running the latest version"_s;
        const QString unreadable = u"The update information could not be read."_s;
        const QString &h = http, appcast = h + u"appcast.json"_s;
        QTest::newRow("five redirects") << (h + "hops/5/appcast.json") << ok;
        QTest::newRow("404") << (h + "missing.json") << "File not found";
        QTest::newRow("other platform") << (h + "elsewhere.json") << unreadable;
        QTest::newRow("six redirects") << (h + "hops/6/appcast.json") << "redirect";
        QTest::newRow("https to http") << (https + "to?url=" + appcast) << "Refused the redirect";
        QTest::newRow("huge") << (h + "nolength/big.json") << "larger than";
        QTest::newRow("plain http elsewhere") << u"http://192.0.2.1/appcast.json"_s << "only HTTPS";
    }
    void checkOutcome()
    {
        QFETCH(QString, feed);
        QFETCH(QString, expected);
        writeAppcast({{u"latest-version"_s, BuildInfo::version()}});
        SimulatedUser user;
        const QString said = checkFromMenu(feed, user);
        QVERIFY2(said.contains(expected), qPrintable(said));
        QCOMPARE(user.said.size(), 1);
        QCOMPARE(said.contains(u"The update check failed."_s),
                 !expected.startsWith(u"Congratulations"_s));
        QVERIFY(sink.urls.isEmpty());
    }

    // A server that trickles its answer keeps the stall time-out from firing:
    // the whole transfer has a limit of its own (the check's).
    void totalTimeout()
    {
        QNetworkAccessManager manager;
        HttpTransfer transfer(&manager);
        transfer.setTotalTimeout(1s);
        QSignalSpy finished(&transfer, &HttpTransfer::finished);
        transfer.get(QUrl(http + u"slow/payload.bin"_s));
        QVERIFY(finished.wait(10000));
        QCOMPARE(transfer.errorString(), u"The transfer did not end within 1 s."_s);
    }

    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("sha256");
        QTest::addColumn<QString>("expected"); // the file's name, or the failure
        const QString sum = QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex();
        const QString wrong = QChar(sum[0] == u'0' ? u'1' : u'0') + sum.mid(1); // one digit off
        QTest::newRow("without length") << "nolength/payload.bin" << QString() << "payload.bin";
        QTest::newRow("hostile name") << "any/..%2F..%2Fevil" << QString() << "QSU_Update.bin";
        QTest::newRow("slow start") << "slow/payload.bin" << QString() << "payload.bin";
        QTest::newRow("checksum right") << "payload.bin" << sum << "payload.bin";
        QTest::newRow("checksum wrong") << "payload.bin" << wrong << "checksum does not match";
        // Either end of a cut transfer may be seen first: the socket closing, or
        // fewer bytes than announced.
        QTest::newRow("cut") << "cut/payload.bin" << QString() << "closed|ended after";
        QTest::newRow("stalled") << "stall/payload.bin" << QString() << "stalled";
        QTest::newRow("over 2 GiB") << "announce/2147483649" << QString() << "larger than";
    }
    void download()
    {
        QFETCH(QString, path);
        QFETCH(QString, sha256);
        QFETCH(QString, expected);
        QJsonObject entry{{u"latest-version"_s, u"99.0"_s}, {u"download-url"_s, http + path}};
        if (!sha256.isEmpty())
            entry.insert(u"sha256"_s, sha256);
        writeAppcast(entry);
        QVERIFY(QDir(root.path()).mkpath(u"a/b"_s));
        QTemporaryDir dir(root.filePath(u"a/b/XXXXXX"_s));
        const QString feed = http + u"appcast.json"_s;
        Downloader *downloader = QSimpleUpdater::getInstance()->getUpdater(feed)->downloader();
        downloader->setDownloadDir(dir.path());
        QSignalSpy downloaded(downloader, &Downloader::downloadFinished);

        SimulatedUser user;
        user.buttons = {QMessageBox::Yes, QMessageBox::Ok};
        QVERIFY(checkFromMenu(feed, user, editor.get()).contains(u"Version 99.0 of"_s));
        QVERIFY(downloader->transfer());
        if (QTest::currentDataTag() == QLatin1StringView("stalled"))
            downloader->transfer()->setStallTimeout(1s);
        QTRY_VERIFY_WITH_TIMEOUT(!downloader->transfer()->isRunning() && user.said.size() == 2,
                                 20000);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (const QString said = user.said.last(); !expected.contains(QLatin1Char('.'))) {
            QVERIFY2(said.contains(u"could not be downloaded"_s) &&
                         said.contains(QRegularExpression(expected)),
                     qPrintable(said));
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
        QVERIFY(!QFile::exists(root.filePath(u"a/evil"_s)));
        QTRY_VERIFY(!downloader->isVisible());
    }

    void openUrlAndCancel()
    {
        // A release page in the appcast is opened instead of downloading.
        const QString page = u"https://updates.example/release"_s;
        writeAppcast({{u"latest-version"_s, u"99.0"_s},
                      {u"open-url"_s, page},
                      {u"download-url"_s, http + u"payload.bin"_s}});
        const QString feed = http + u"hops/1/appcast.json"_s;
        Downloader *downloader = QSimpleUpdater::getInstance()->getUpdater(feed)->downloader();
        QTemporaryDir dir;
        downloader->setDownloadDir(dir.path());
        SimulatedUser user;
        user.buttons = {QMessageBox::Yes};
        checkFromMenu(feed, user);
        QCOMPARE(sink.urls, QList<QUrl>{QUrl(page)});
        QVERIFY(!downloader->transfer());

        // Stop asks first; No keeps the download going, Yes ends it with nothing left.
        writeAppcast(
            {{u"latest-version"_s, u"99.0"_s}, {u"download-url"_s, http + u"stall/payload.bin"_s}});
        user.buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes};
        checkFromMenu(feed, user);
        QTRY_VERIFY(downloader->isVisible());
        QTRY_COMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"payload.bin.part"});
        auto *stop = downloader->findChild<QPushButton *>(u"stopButton"_s);
        stop->click();
        QVERIFY(user.said.last().startsWith(u"Are you sure"_s));
        QVERIFY(downloader->transfer()->isRunning() && downloader->isVisible());
        stop->click();
        QTRY_VERIFY(!downloader->transfer()->isRunning());
        QVERIFY(!downloader->isVisible());
        QCOMPARE(user.said.size(), 4); // no failure box after a cancel
        QVERIFY(QDir(dir.path()).isEmpty());
        QCOMPARE(sink.urls.size(), 1);
    }

    void aboutBoxes()
    {
        // ZUM-B1, S/N 4321, software 615, as the identification block holds them.
        QCOMPARE(RunToEnd(offline.Write({{258, 11}}, {0, 0, 0, 0, 3, 0, 1, 4321, 615, 0, 7})),
                 QString());
        QVERIFY(offlineMachine.updateIdentification());
        window->show();
        const std::pair<QWidget *, QString> boxes[] = {
            {window.get(), u"ZUM-B1, S/N: 4321, SW: 6.15"_s}, {editor.get(), u"not connected"_s}};
        for (const auto &[menus, machine] : boxes) {
            menus->findChild<QAction *>(u"actionHelpAbout"_s)->trigger();
            QPointer<VersionDialog> about = menus->findChild<VersionDialog *>();
            QVERIFY(about && about->isVisible());
            const QString text = about->findChild<QLabel *>(u"textLabel"_s)->text();
            QVERIFY2(text.contains(u"Connected machine: "_s + machine) &&
                         text.contains(BuildInfo::buildId()),
                     qPrintable(text));
            QTest::keyClick(about, Qt::Key_Escape);
            QTRY_VERIFY(about.isNull());
        }
    }
};

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
