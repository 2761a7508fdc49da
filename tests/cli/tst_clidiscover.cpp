// vrk6-cli discover, and the README's nightly backup, inside a private
// network namespace (tests/common/netns.sh): loopback only, with multicast, so
// the test sees exactly the services it starts and sends nothing outside.
#include "clirun.h"
#include "common/privatenetwork.h"
#include "simprocess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestCliDiscover : public QObject
{
    Q_OBJECT

private slots:
    // Services of another implementation: tst_mdnsinterop.
    void discoverAndNightlyBackup()
    {
        SimProcess sim1, sim2;
        QVERIFY(sim1.start({u"--announce"_s, u"--serial"_s, u"11"_s}));
        QVERIFY(sim2.start({u"--announce"_s, u"--type"_s, u"ZumB1"_s, u"--serial"_s, u"22"_s,
                            u"--name"_s, u"ZUM %1\tB1"_s}));
        const CliRun json = cli(u"discover --json --timeout 3"_s);
        const CliRun text = cli(u"discover --timeout 3"_s);
        QCOMPARE(json.code, 0);
        QStringList found;
        for (const QJsonValue &service : json.at(u"results"_s).toArray())
            found.append(service[u"name"_s].toString() + u" @ "_s +
                         service[u"target"_s].toString());
        QCOMPARE(found,
                 (QStringList{u"VRK-C1 11 @ "_s + sim1.host(), u"ZUM %1\tB1 @ "_s + sim2.host()}));
        QCOMPARE(json.at(u"results/1/description"_s).toString(),
                 u"ZUM-B1 serial 22 software 6.12"_s);
        QCOMPARE(text.lines().size(), 2);
        QCOMPARE(text.lines()[0], u"VRK-C1 11\tVRK-C1-11.local:%1\t127.0.0.1\tVRK-C1 serial 11 "
                                  "software 6.12"_s.arg(sim1.port()));
        // A name's tab would add a field, and its %1 must not take the port.
        QCOMPARE(text.lines()[1], u"ZUM %1 B1\tZUM-1-B1.local:"_s + QString::number(sim2.port()) +
                                      u"\t127.0.0.1\tZUM-B1 serial 22 software 6.12"_s);

        // The README's example as written, with the backup folder of the test.
        QFile readme(QStringLiteral(VRK6_SOURCE_DIR "/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QRegularExpression block(u"<!-- nightly-backup -->\n```sh\n(.*?)```"_s,
                                       QRegularExpression::DotMatchesEverythingOption);
        const QString script = block.match(QString::fromUtf8(readme.readAll())).captured(1);
        QVERIFY(script.contains(u"vrk6-cli backup"_s));
        QTemporaryDir dir;
        QProcess sh;
        sh.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString exports = u"export PATH='%1':\"$PATH\" VRK6_BACKUP_DIR='%2'\n"_s.arg(
            QFileInfo(QStringLiteral(VRK6_CLI_PATH)).path(), dir.path());
        sh.start(u"/bin/sh"_s, {u"-c"_s, exports + script});
        QVERIFY(sh.waitForFinished(60000));
        QCOMPARE(sh.exitCode(), 0);
        const QStringList days = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(days.size(), 1);
        const QStringList files =
            QDir(dir.filePath(days.first())).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        QVERIFY(files[0].startsWith(u"VrkC1-11-"_s) && files[1].startsWith(u"ZumB1-22-"_s));
    }

    // A machine that moves while discover listens is given at its new
    // address (once its announcements are over: the old one is stale then).
    void movedMachine()
    {
        QProcess peer;
        peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        peer.start(u"/usr/bin/python3"_s,
                   {QStringLiteral(VRK6_SOURCE_DIR "/tests/mdns/zeroconf_peer.py"), u"register"_s});
        QVERIFY(peer.waitForReadyRead(20000));
        QTimer::singleShot(3000, &peer, [&peer] { peer.write("move dotted\n"); });
        const QStringList targets = cli(u"discover --targets --timeout 5"_s).lines();
        QCOMPARE(targets,
                 (QStringList{u"127.0.0.1:1511"_s, u"127.0.0.1:1512"_s, u"127.0.0.2:1513"_s}));
        peer.closeWriteChannel();
        QVERIFY(peer.waitForFinished(10000));
    }
};

int main(int argc, char **argv)
{
    RunInPrivateNetwork(argc, argv);
    QCoreApplication app(argc, argv);
    TestCliDiscover test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clidiscover.moc"
