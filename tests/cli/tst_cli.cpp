// vrk6-cli end to end: the tool run as a process against simulators, the
// pymodbus control unit peer and the relay, and on real files.
#include "backup/backupdata.h"
#include "backup/backupfile.h"
#include "backup/distinctvalues.h"
#include "clirun.h"
#include "simprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

#include <bit>

using namespace Qt::StringLiterals;
using DistinctValues::of;

namespace {
class PeerProcess : public QProcess
{
public:
    ~PeerProcess() override
    {
        kill();
        waitForFinished(5000);
    }
};

// Arguments split at spaces: the test's paths and hosts hold none.
QStringList words(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

CliRun cli(const QString &arguments)
{
    return CliRun::run(words(arguments));
}
} // namespace

class TestCli : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    SimProcess simA, simB, simC;
    PeerProcess peer;
    QString peerHost;

    QString path(const QString &name) const { return dir.filePath(name); }
    QString backup(const QString &name, int seed, const QMap<int, double> &edits = {}) const
    {
        return DistinctValues::backupFile(path(name), ModelVersion(VrkC1, 8), seed, edits);
    }

private slots:
    void initTestCase();
    void badCommandLine_data();
    void badCommandLine();
    void identifyJsonAndText();
    void readVariables();
    void validateReport();
    void diff();
    void convertVersion5();
    void throughRelay();
    void silentRelay();
    void backupSeveral();
    void restoreDryRunAndChecks();
    void uploadSeveral();
};

void TestCli::initTestCase()
{
    QVERIFY(dir.isValid() && !dir.path().contains(u' '));
    // Restores go through the safety copy into the test's own folder.
    qputenv("XDG_DATA_HOME", path(u"data"_s).toUtf8());
    const auto state = [this](int seed) {
        return DistinctValues::stateFile(path(u"%1.state"_s.arg(seed)), seed);
    };
    QVERIFY(simA.start(
        words(u"--log-writes --programs %1 --state %2"_s.arg(path(u"programs-a"_s), state(1)))));
    QVERIFY(simB.start(words(u"--type VrkA1 --model-version 7 --serial 0 --bn 5007 --log-writes "
                             "--programs %1 --state %2"_s.arg(path(u"programs-b"_s), state(2)))));
    QVERIFY(simC.start(words(u"--type VrkE1 --model-version 6 --serial 3 --clamp 1792:256:100 "
                             "--upload-disabled --state %1"_s.arg(state(3)))));
    const quint16 port = SimProcess::freePort();
    peerHost = u"127.0.0.1:%1"_s.arg(port);
    peer.start(u"/usr/bin/python3"_s,
               {QStringLiteral(VRK6_SOURCE_DIR "/tests/interop/pymodbus_server.py"),
                QString::number(port)});
    QVERIFY(
        QTest::qWaitFor([this] { return peer.readAllStandardOutput().contains("ready"); }, 20000));
}

void TestCli::badCommandLine_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("nothing") << QString() << u"Usage"_s;
    QTest::newRow("unknown command") << u"frob"_s << u"unknown command"_s;
    QTest::newRow("unknown option") << u"identify --frob h"_s << u"frob"_s;
    QTest::newRow("no host") << u"identify"_s << u"at least one"_s;
    // Host forms are the connection's own (its tests cover them); the tool
    // also refuses a name that could be a path in the relay's URL.
    QTest::newRow("bad port") << u"identify h:99999"_s << u"h:99999"_s;
    QTest::newRow("path as host") << u"identify m1/../x"_s << u"m1/../x"_s;
    QTest::newRow("jobs 0") << u"identify --jobs 0 h"_s << u"--jobs"_s;
    QTest::newRow("empty range") << u"read h 5:0"_s << u"5:0"_s;
    QTest::newRow("beyond Modbus") << u"read h 32767:2"_s << u"32767:2"_s;
    QTest::newRow("int and float") << u"read h 1 --int --float"_s << u"exclude"_s;
    QTest::newRow("convert type") << u"convert x.cvrk -o y.vrk --type InOutTest --model-version 8"_s
                                  << u"--type"_s;
    QTest::newRow("diff one") << u"diff a.vrk"_s << u"two"_s;
    QTest::newRow("discover time") << u"discover --timeout 0"_s << u"--timeout"_s;
}

void TestCli::badCommandLine()
{
    QFETCH(QString, args);
    QFETCH(QString, says);
    const CliRun r = cli(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(says.toUtf8()), r.err.constData());
    QVERIFY(r.out.isEmpty());
}

void TestCli::identifyJsonAndText()
{
    const QString down = u"127.0.0.1:%1"_s.arg(SimProcess::freePort());
    const QStringList hosts{simA.host(), down, simB.host(), peerHost};
    const CliRun text = cli(u"identify "_s + hosts.join(u' '));
    const CliRun json = cli(u"identify --json -q "_s + hosts.join(u' '));
    QCOMPARE(text.code, 1);
    QCOMPARE(json.code, 1);
    QVERIFY2(text.err.contains(down.toUtf8()), text.err.constData());
    QCOMPARE(text.lines(), (QStringList{simA.host() + u": VRK-C1 (v. 8), S/N: 1000, SW: 6.12"_s,
                                        simB.host() + u": VRK-A1 (v. 7), B/N: 005-007, SW: 6.12"_s,
                                        peerHost + u": VRK-A1 (v. 7), S/N: 4321, SW: 6.15"_s}));
    // The same facts, in the order the machines were named.
    const QJsonArray results = json.json()[u"results"_s].toArray();
    QCOMPARE(json.json()[u"ok"_s], QJsonValue(false));
    QCOMPARE(results.size(), 4);
    for (qsizetype i = 0; i < 4; ++i)
        QCOMPARE(results[i][u"host"_s].toString(), hosts[i]);
    QCOMPARE(results[1][u"ok"_s], QJsonValue(false));
    QCOMPARE(json.json()[u"errors"_s][0][u"subject"_s].toString(), down);
    const QJsonObject b = results[2][u"machine"_s].toObject();
    QCOMPARE(b[u"type"_s].toString(), u"VrkA1"_s);
    QCOMPARE(b[u"modelVersion"_s].toInt(), 7);
    QCOMPARE(b[u"serial"_s].toInt(), 0);
    QCOMPARE(b[u"bn"_s].toInt(), 5007);
    QCOMPARE(results[3][u"machine"_s][u"software"_s].toInt(), 615);
}

void TestCli::readVariables()
{
    const CliRun r = cli(u"read %1 1024:2 265"_s.arg(simA.host()));
    QCOMPARE(r.code, 0);
    const auto bits = [](float f) { return QString::number(std::bit_cast<qint32>(f)); };
    QCOMPARE(r.lines(), (QStringList{u"1024\t%1\t2756"_s.arg(bits(of(1024, 1))),
                                     u"1025\t%1\t2756.25"_s.arg(bits(of(1025, 1))),
                                     u"265\t1000\t1.401e-42"_s}));
    // Low half in the lower register: the peer's register n holds n.
    const CliRun peerRead = cli(u"read %1 8193 --int --json"_s.arg(peerHost));
    QCOMPARE(peerRead.code, 0);
    const QJsonObject value = peerRead.json()[u"results"_s][0][u"values"_s][0].toObject();
    QCOMPARE(value[u"variable"_s].toInt(), 8193);
    QCOMPARE(value[u"int"_s].toInteger(), (16387LL << 16) | 16386);
    QVERIFY(!value.contains(u"float"_s));
}

void TestCli::validateReport()
{
    const QString good = backup(u"good.vrk"_s, 1), broken = path(u"broken.vrk"_s);
    QVERIFY(BackupData::write(
        broken, BackupData::json({{"_machine", "VrkC1"},
                                  {"_version", 8},
                                  {"techparams", QJsonObject{{"values", BackupData::numbers(255)}}},
                                  {"coordsys", QJsonObject{{"G53", 1}}}})));
    const CliRun text = cli(u"validate %1 %2"_s.arg(good, broken));
    const CliRun json = cli(u"validate --json %1 %2"_s.arg(good, broken));
    QCOMPARE(text.code, 1);
    QCOMPARE(json.code, 1);
    const QStringList lines = text.lines();
    QCOMPARE(lines[0], good + u": valid, VRK-C1 (v. 8), sections: techparams, rparams, coordsys, "
                              "tools"_s);
    // Both faults, three numbered lines per validator error, as text and JSON.
    const QJsonArray report = json.json()[u"results"_s][1][u"report"_s].toArray();
    QCOMPARE(lines.size(), 1 + report.size());
    QVERIFY(report.size() >= 6 && report.size() % 3 == 0);
    for (qsizetype i = 0; i < report.size(); ++i) {
        QCOMPARE(lines[i + 1], broken + u": "_s + report[i].toString());
        if (i % 3 == 0)
            QCOMPARE(report[i].toString(), u"Validation error #%1"_s.arg(i / 3 + 1));
    }
    const QString all = QString::fromUtf8(text.out);
    QVERIFY(all.contains(u"G53"_s) && all.contains(u"[techparams][values]"_s));
    QVERIFY(json.json()[u"results"_s][0][u"ok"_s].toBool());
    QCOMPARE(cli(u"validate "_s + good).code, 0);
}

// Files and machines on either side; differences as text and as JSON.
void TestCli::diff()
{
    const QString a = backup(u"diff-a.vrk"_s, 1);
    QCOMPARE(cli(u"diff %1 %1"_s.arg(a)).out, QByteArray());
    // Technological parameter 5, and tool T3 axis X (row 3, column 1).
    const QString b = backup(u"diff-b.vrk"_s, 1, {{1029, 12.5}, {1280 + 3 * 8 + 1, -1.0}});
    const CliRun text = cli(u"diff %1 %2"_s.arg(a, b));
    QCOMPARE(text.code, 0);
    const QStringList lines = text.lines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(u"Technological Parameters | 05"_s), qPrintable(lines[0]));
    QVERIFY2(lines[0].endsWith(u" | 2757.25 | 12.5"_s), qPrintable(lines[0]));
    QCOMPARE(lines[1], u"Tools Parameters | Tool T3, X | 2826.25 | -1"_s);
    const QJsonArray json =
        cli(u"diff --json %1 %2"_s.arg(a, b)).json()[u"results"_s][0][u"differences"_s].toArray();
    QCOMPARE(json.size(), 2);
    QCOMPARE(json[0][u"variable"_s].toInt(), 1029);
    QCOMPARE(json[0][u"b"_s].toDouble(), 12.5);
    QCOMPARE(json[1][u"group"_s].toString(), u"tools"_s);
    QCOMPARE(json[1][u"a"_s].toDouble(), double(of(1305, 1)));

    // The file holds what simulator A holds, but for one R parameter.
    const CliRun machine =
        cli(u"diff --json %1 %2"_s.arg(backup(u"machine.vrk"_s, 1, {{1799, 3.0}}), simA.host()));
    QCOMPARE(machine.code, 0);
    const QJsonArray differences = machine.json()[u"results"_s][0][u"differences"_s].toArray();
    QCOMPARE(differences.size(), 1);
    QCOMPARE(differences[0][u"variable"_s].toInt(), 1799);
    QCOMPARE(differences[0][u"b"_s].toDouble(), double(of(1799, 1)));
    // Two machines of other types: their stamps differ, and every value.
    const CliRun machines = cli(u"diff %1 %2"_s.arg(simA.host(), simB.host()));
    QCOMPARE(machines.code, 0);
    QCOMPARE(machines.lines().size(), 1 + 256 + 256 + 48 + 80);
    QCOMPARE(machines.lines()[0], u"machine: VRK-C1 (v. 8) | VRK-A1 (v. 7)"_s);
}

void TestCli::convertVersion5()
{
    const QString cvrk = path(u"old.cvrk"_s), target = path(u"converted.vrk"_s);
    QVERIFY(BackupData::write(cvrk,
                              BackupData::json({{"machine", "CVRK"},
                                                {"dataLevel", 1},
                                                {"techparams", BackupData::numbers(53, 100, 1)}})));
    const QString args = u"convert %1 -o %2 --type VrkC1 --model-version 8 "_s.arg(cvrk, target);
    const CliRun r = cli(args + u"--json"_s);
    QCOMPARE(r.code, 0);
    BackupFile file(target);
    QVERIFY(file.load());
    QCOMPARE(file.machine(), ModelVersion(VrkC1, 8));
    const QJsonArray values = file.section(GroupTags::TechParams)[u"values"_s].toArray();
    // The mapping is the import's (tst_backup): here it only has to arrive.
    QCOMPARE(values[15].toDouble(), 113.0); // 15 <- 13
    // Active on this machine but without an old counterpart: listed to check.
    QCOMPARE(r.json()[u"results"_s][0][u"check"_s][0][u"index"_s].toInt(), 53);
    // An existing file is kept unless --overwrite.
    const CliRun again = cli(args);
    QCOMPARE(again.code, 1);
    QVERIFY(again.err.contains("--overwrite"));
    QCOMPARE(cli(args + u"--overwrite"_s).code, 0);
}

void TestCli::throughRelay()
{
    const quint16 port = SimProcess::freePort();
    const QString args =
        u"identify --ws --relay-port %1 --timeout 3 %2"_s.arg(port).arg(simB.host());
    // No relay: the machine fails, with the reason.
    const CliRun none = cli(args);
    QCOMPARE(none.code, 1);
    QVERIFY2(none.err.contains(simB.host().toUtf8()), none.err.constData());
    PeerProcess relay;
    relay.setProcessChannelMode(QProcess::MergedChannels);
    relay.start(QStringLiteral(VRK6_RELAY_PATH), {u"--port"_s, QString::number(port)});
    QVERIFY(QTest::qWaitFor([&relay] { return relay.peek(4096).contains("listening on"); }, 10000));
    const CliRun r = cli(args);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.lines(), QStringList{simB.host() + u": VRK-A1 (v. 7), B/N: 005-007, SW: 6.12"_s});
}

// A relay that completes the WebSocket handshake and then answers only the
// identification read of machine "talks": each step gives up after --timeout.
// (A silent Modbus peer fails in the connection itself, as a machine that is
// down does in identifyJsonAndText.)
void TestCli::silentRelay()
{
    QWebSocketServer relay(u"silent"_s, QWebSocketServer::NonSecureMode);
    QVERIFY(relay.listen(QHostAddress::LocalHost));
    QList<QWebSocket *> sockets;
    connect(&relay, &QWebSocketServer::newConnection, this, [&] {
        QWebSocket *socket = relay.nextPendingConnection();
        sockets.append(socket);
        if (!socket->requestUrl().path().contains(u"talks"_s))
            return;
        connect(socket, &QWebSocket::textMessageReceived, socket, [socket](const QString &text) {
            const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
            if (m[u"start_index"_s].toInt() != 256)
                return;
            QJsonArray values; // VRK-C1 (v. 8), S/N 77, SW 6.12
            for (int v = 256; v < 270; ++v)
                values.append(
                    QMap<int, int>{{262, 1}, {264, 6}, {265, 77}, {266, 612}, {268, 8}}.value(v));
            socket->sendTextMessage(
                QString::fromUtf8(QJsonDocument(QJsonObject{{u"event"_s, u"get_vars_done"_s},
                                                            {u"tid"_s, m[u"tid"_s]},
                                                            {u"values"_s, values}})
                                      .toJson()));
        });
    });
    QElapsedTimer clock;
    clock.start();
    const QString ws = u" --ws --relay-port %1 --timeout 1"_s.arg(relay.serverPort());
    const CliRun quiet = cli(u"identify quiet"_s + ws);
    const CliRun talks = cli(u"read talks 1024"_s + ws);
    for (const CliRun &r : {quiet, talks}) {
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("no answer from the machine within 1 s"), r.err.constData());
    }
    QVERIFY(talks.err.contains("talks: reading")); // identified, then silence
    QCOMPARE(sockets.size(), 2);
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    qDeleteAll(sockets);
}

void TestCli::backupSeveral()
{
    const QString down = u"127.0.0.1:%1"_s.arg(SimProcess::freePort());
    const CliRun all = cli(u"backup --json --dir %1 %2 %3 %4"_s.arg(path(u"all"_s), simA.host(),
                                                                    simB.host(), simC.host()));
    QVERIFY2(all.code == 0, all.err.constData());
    const QJsonArray results = all.json()[u"results"_s].toArray();
    QCOMPARE(results.size(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        const QString name = results[i][u"file"_s].toString();
        QVERIFY2(QFileInfo(name).fileName().startsWith(
                     QStringList{u"VrkC1-1000-"_s, u"VrkA1-BN005007-"_s, u"VrkE1-3-"_s}[i]),
                 qPrintable(name));
        BackupFile file(name);
        QVERIFY(file.load());
        for (int tag : DistinctValues::Tags)
            QVERIFY(file.hasSection(tag));
        QVERIFY(!file.hasSection(GroupTags::Teeth));
        // Every value equals what that simulator holds.
        QCOMPARE(DistinctValues::differences(file, int(i) + 1), QList<int>());
    }
    // One machine down: the others are still backed up.
    const CliRun partly =
        cli(u"backup --dir %1 %2 %3 %4"_s.arg(path(u"partly"_s), simA.host(), down, simB.host()));
    QCOMPARE(partly.code, 1);
    QVERIFY2(partly.err.contains(down.toUtf8()), partly.err.constData());
    QCOMPARE(QDir(path(u"partly"_s)).entryList(QDir::Files).size(), 2);
    QCOMPARE(partly.lines().size(), 2);

    // Teeth from the independent peer: its register n holds n.
    const QString teeth = u"backup %1 -o %2"_s.arg(peerHost, path(u"peer.vrk"_s));
    QCOMPARE(cli(teeth + u" --with-teeth"_s).code, 0);
    BackupFile file(path(u"peer.vrk"_s));
    QVERIFY(file.load());
    const QJsonArray l1t0 = file.section(GroupTags::Teeth)[u"L1"_s][u"T0"_s].toArray();
    QCOMPARE(l1t0[1].toDouble(), double(std::bit_cast<float>((16387u << 16) | 16386u)));
    QCOMPARE(cli(teeth).code, 1); // kept
}

void TestCli::restoreDryRunAndChecks()
{
    // Simulator A's values but for an R parameter and two technological ones.
    const QMap<int, double> edits{{1030, 1.5}, {1100, -2.0}, {1792 + 9, 7.0}};
    const QString file = backup(u"restore.vrk"_s, 1, edits);
    // Whatever the simulator logged is in its pipe once the tool has ended.
    const auto writes = [](SimProcess &sim) {
        QTest::qWait(100);
        return sim.log().count(u"vrk6-sim: write "_s);
    };

    const CliRun dry = cli(u"restore --json %1 %2 --dry-run"_s.arg(simA.host(), file));
    QCOMPARE(dry.code, 0);
    const QJsonArray changes = dry.json()[u"results"_s][0][u"changes"_s].toArray();
    QCOMPARE(changes.size(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        const int variable = changes[i][u"variable"_s].toInt();
        QCOMPARE(changes[i][u"file"_s].toDouble(), edits.value(variable, 1e9));
        QCOMPARE(changes[i][u"machine"_s].toDouble(), double(of(variable, 1)));
    }
    const CliRun dryText = cli(u"restore %1 %2 --dry-run"_s.arg(simA.host(), file));
    QCOMPARE(dryText.lines().size(), 1 + 3);
    QVERIFY(dryText.lines()[3].endsWith(u" | 2950.25 -> 7"_s));
    QCOMPARE(writes(simA), 0);

    // Another machine type: refused without --force, nothing written.
    const CliRun mismatch = cli(u"restore %1 %2"_s.arg(simB.host(), file));
    QCOMPARE(mismatch.code, 1);
    QVERIFY2(mismatch.err.contains("--force"), mismatch.err.constData());
    QCOMPARE(writes(simB), 0);

    // Only the R parameters: written, read back, the safety copy holds the old values.
    const CliRun rparams = cli(u"restore --json %1 %2 --sections rparams"_s.arg(simA.host(), file));
    QCOMPARE(rparams.code, 0);
    QVERIFY(writes(simA) > 0);
    const CliRun read = cli(u"read --float %1 1801 1030"_s.arg(simA.host()));
    QCOMPARE(read.lines(), (QStringList{u"1801\t7"_s, u"1030\t2757.5"_s}));
    BackupFile safety(rparams.json()[u"results"_s][0][u"safetyCopy"_s].toString());
    QVERIFY(safety.load());
    QVERIFY(safety.hasSection(GroupTags::RParams) && !safety.hasSection(GroupTags::TechParams));
    QCOMPARE(DistinctValues::differences(safety, 1), QList<int>());

    // A machine that clamps what it is sent: the read-back check names the value.
    const CliRun clamped =
        cli(u"restore --force --no-safety-copy %1 %2 --sections rparams"_s.arg(simC.host(), file));
    QCOMPARE(clamped.code, 1);
    // All R parameters of the file are above the clamp but one (7).
    QVERIFY2(clamped.err.contains("255 values read back differ"), clamped.err.constData());
    QVERIFY2(clamped.lines().value(1).startsWith(u"R Parameters | "_s), clamped.out.constData());
    QVERIFY(clamped.lines().value(1).endsWith(u" | sent 2948, reads 100"_s));
}

void TestCli::uploadSeveral()
{
    QByteArray program;
    for (int i = 0; program.size() < 1001; ++i)
        program += "N" + QByteArray::number(i) + " G01 X" + QByteArray::number(i * 7) + "\n";
    QVERIFY(BackupData::write(path(u"part.cnc"_s), program));
    // Simulator C is not ready for an upload.
    const CliRun r = cli(u"upload --json %1 %2 %3 %4"_s.arg(simA.host(), simB.host(), simC.host(),
                                                            path(u"part.cnc"_s)));
    QCOMPARE(r.code, 1);
    const QJsonArray results = r.json()[u"results"_s].toArray();
    QCOMPARE(results[0][u"resultCode"_s].toInt(), 2);
    QVERIFY(results[2][u"error"_s].toString().contains(u"not ready"_s));
    for (const QString &dir : {u"programs-a"_s, u"programs-b"_s})
        QCOMPARE(BackupData::read(path(dir + u"/program-001.cnc"_s)), program);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
