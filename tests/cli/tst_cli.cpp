// vrk6-cli run as a process against simulators and a relay, and on real
// files. What the jobs and files hold is checked by tst_machinejobs and
// tst_backup; here what the tool adds: several machines at once, options,
// exit codes, text and JSON.
#include "backup/backupdata.h"
#include "backup/backupfile.h"
#include "backup/distinctvalues.h"
#include "clirun.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

#include <bit>

using namespace Qt::StringLiterals;
using DistinctValues::of;

class TestCli : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    SimProcess simA, simB, simC;
    QString down; // a port nothing listens on

    QString path(const QString &name) const { return dir.filePath(name); }
    QString backup(const QString &name, int seed, const QMap<int, double> &edits = {}) const
    {
        return DistinctValues::backupFile(path(name), ModelVersion(VrkC1, 8), seed, edits);
    }
    bool startSim(SimProcess &sim, int seed, const QString &options)
    {
        const QString state = DistinctValues::stateFile(path(u"%1.state"_s.arg(seed)), seed);
        return sim.start((options + u" --state "_s + state).split(u' ', Qt::SkipEmptyParts));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid() && !dir.path().contains(u' '));
        // Restores go through the safety copy into the test's own folder.
        qputenv("XDG_DATA_HOME", path(u"data"_s).toUtf8());
        QVERIFY(startSim(simA, 1, u"--log-writes --programs "_s + path(u"programs-a"_s)));
        QVERIFY(startSim(simB, 2,
                         u"--type VrkA1 --model-version 7 --serial 0 --bn 5007 --log-writes "
                         "--programs %1"_s.arg(path(u"programs-b"_s))));
        QVERIFY(startSim(simC, 3,
                         u"--type VrkE1 --model-version 6 --serial 3 --clamp 1792:256:100 "
                         "--upload-disabled"_s));
        down = u"127.0.0.1:%1"_s.arg(SimProcess::freePort());
    }

    void badCommandLine_data()
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
        QTest::newRow("upload twice") << u"upload M1 m1:502 p.cnc"_s << u"m1:502 is named twice"_s;
        QTest::newRow("path as zone") << u"identify [fe80::1%/../x]:1"_s << u"%/../x"_s;
        QTest::newRow("dir uncreatable") << u"backup --dir /dev/null/x h"_s << u"/dev/null/x"_s;
        QTest::newRow("jobs 0") << u"identify --jobs 0 h"_s << u"--jobs"_s;
        QTest::newRow("empty range") << u"read h 5:0"_s << u"5:0"_s;
        QTest::newRow("beyond Modbus") << u"read h 32767:2"_s << u"32767:2"_s;
        QTest::newRow("int and float") << u"read h 1 --int --float"_s << u"exclude"_s;
        QTest::newRow("convert type")
            << u"convert x.cvrk -o y.vrk --type InOutTest --model-version 8"_s << u"--type"_s;
        QTest::newRow("diff one") << u"diff a.vrk"_s << u"two"_s;
        QTest::newRow("discover time") << u"discover --timeout 0"_s << u"--timeout"_s;
        QTest::newRow("discover nan") << u"discover --timeout nan"_s << u"--timeout"_s;
    }
    void badCommandLine()
    {
        QFETCH(QString, args);
        QFETCH(QString, says);
        const CliRun r = cli(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(says.toUtf8()) && r.out.isEmpty(), r.err.constData());
    }

    void identifyJsonAndText()
    {
        const QStringList hosts{simA.host(), down, simB.host()};
        const CliRun text = cli(u"identify "_s + hosts.join(u' '));
        const CliRun json = cli(u"identify --json -q "_s + hosts.join(u' '));
        QVERIFY(text.code == 1 && json.code == 1);
        // Quiet: the one line of the failure, no log line repeating it.
        QCOMPARE(json.err.count('\n'), 1);
        QVERIFY2(text.err.contains(down.toUtf8()), text.err.constData());
        QCOMPARE(text.lines(),
                 (QStringList{simA.host() + u": VRK-C1 (v. 8), S/N: 1000, SW: 6.12"_s,
                              simB.host() + u": VRK-A1 (v. 7), B/N: 005-007, SW: 6.12"_s}));
        // The same facts, in the order the machines were named.
        QCOMPARE(json.at(u"results"_s).toArray().size(), 3);
        for (qsizetype i = 0; i < 3; ++i)
            QCOMPARE(json.at(u"results/%1/host"_s.arg(i)).toString(), hosts[i]);
        QVERIFY(!json.at(u"ok"_s).toBool() && !json.at(u"results/1/ok"_s).toBool());
        SimProcess v6;
        QVERIFY(v6.start({u"--listen"_s, u"::1"_s}));
        QCOMPARE(cli(u"identify [::1]:%1"_s.arg(v6.port())).code, 0);
        QCOMPARE(json.at(u"errors/0/subject"_s).toString(), down);
        QCOMPARE(json.at(u"results/2/machine"_s),
                 QJsonDocument::fromJson(R"({"type": "VrkA1", "title": "VRK-A1", "modelVersion": 7,
                     "serial": 0, "bn": 5007, "ident": "B/N: 005-007", "software": 612,
                     "softwareText": "SW: 6.12"})")
                     .object());
    }

    void readVariables()
    {
        const CliRun r = cli(u"read %1 1024:2 265"_s.arg(simA.host()));
        QCOMPARE(r.code, 0);
        const auto bits = [](float f) { return QString::number(std::bit_cast<qint32>(f)); };
        QCOMPARE(r.lines(), (QStringList{u"1024\t%1\t2756"_s.arg(bits(of(1024, 1))),
                                         u"1025\t%1\t2756.25"_s.arg(bits(of(1025, 1))),
                                         u"265\t1000\t1.401e-42"_s}));
        QCOMPARE(cli(u"read %1 265 --int --json"_s.arg(simA.host())).at(u"results/0/values/0"_s),
                 (QJsonObject{{"variable", 265}, {"int", 1000}}));
        // A machine slower than the panel's time-out is still patient
        // enough for --timeout.
        SimProcess slow;
        QVERIFY(slow.start({u"--delay"_s, u"400"_s}));
        const CliRun late = cli(u"read %1 265 --int --timeout 2"_s.arg(slow.host()));
        QVERIFY2(late.code == 0 && late.lines() == QStringList{u"265\t1000"_s},
                 late.err.constData());
        // Values that could not be written out are no success.
        QProcess full;
        full.setStandardOutputFile(u"/dev/full"_s);
        full.start(QStringLiteral(VRK6_CLI_PATH), {u"read"_s, simA.host(), u"265"_s});
        QVERIFY(full.waitForFinished() && full.exitCode() == 1);
    }

    void validateReport()
    {
        const QString good = backup(u"good.vrk"_s, 1), broken = path(u"broken.vrk"_s);
        QVERIFY(BackupData::write(broken, R"({"_machine":"VrkC1","_version":8,"tools":{"T0":1},
                                              "coordsys":{"G53":1}})"));
        const CliRun text = cli(u"validate %1 %2"_s.arg(good, broken));
        const CliRun json = cli(u"validate --json %1 %2"_s.arg(good, broken));
        QVERIFY(text.code == 1 && json.code == 1 && json.at(u"results/0/ok"_s).toBool());
        const QStringList lines = text.lines();
        QCOMPARE(lines[0],
                 good +
                     u": valid, VRK-C1 (v. 8), sections: techparams, rparams, coordsys, tools"_s);
        // Both faults, a line each of the validator's report, as text and JSON.
        const QJsonArray report = json.at(u"results/1/report"_s).toArray();
        QVERIFY(lines.size() == 1 + report.size() && report.size() >= 6);
        for (qsizetype i = 0; i < report.size(); ++i)
            QCOMPARE(lines[i + 1], broken + u": "_s + report[i].toString());
        QCOMPARE(cli(u"validate "_s + good).code, 0);
        // A name in the file cannot steer the terminal.
        QVERIFY(BackupData::write(
            broken, "{\"_machine\":\"VrkC1\",\"_version\":8,\"tools\":{\"T\\u001b[2J\":1}}"));
        QVERIFY(!cli(u"validate "_s + broken).out.contains('\x1b'));
    }

    // Files and machines on either side; differences as text and as JSON.
    void diff()
    {
        const QString a = backup(u"diff-a.vrk"_s, 1);
        // A directory is no machine: it is named for what it is.
        const CliRun folder = cli(u"diff %1 %2"_s.arg(a, path(u""_s)));
        QVERIFY2(folder.code == 1 && folder.err.contains("Not a regular file"),
                 folder.err.constData());
        // Technological parameter 5 and tool T3 axis X (row 3, column 1); nothing they share.
        const QString b = backup(u"diff-b.vrk"_s, 1, {{1029, 12.5}, {1280 + 3 * 8 + 1, -1.0}});
        const CliRun text = cli(u"diff %1 %2"_s.arg(a, b));
        QCOMPARE(text.code, 0);
        const QStringList lines = text.lines();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(u"Technological Parameters | 05"_s) &&
                     lines[0].endsWith(u" | 2757.25 | 12.5"_s),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1], u"Tools Parameters | Tool T3, X | 2826.25 | -1"_s);

        // The file holds what simulator A holds, but for one R parameter.
        const CliRun machine = cli(
            u"diff --json %1 %2"_s.arg(backup(u"machine.vrk"_s, 1, {{1799, 3.0}}), simA.host()));
        QCOMPARE(machine.code, 0);
        QCOMPARE(machine.at(u"results/0/differences"_s),
                 QJsonDocument::fromJson(R"([{"a": 3, "b": 2949.75, "group": "rparams",
                     "label": "R007", "title": "R Parameters", "variable": 1799}])")
                     .array());
        // Two machines of other types: their stamps differ, and every value.
        const CliRun machines = cli(u"diff %1 %2"_s.arg(simA.host(), simB.host()));
        QCOMPARE(machines.code, 0);
        QCOMPARE(machines.lines().size(), 1 + 256 + 256 + 48 + 80);
        QCOMPARE(machines.lines()[0], u"machine: VRK-C1 (v. 8) | VRK-A1 (v. 7)"_s);
    }

    void convertVersion5()
    {
        // A name that holds a placeholder is printed as given.
        const QString cvrk = path(u"old.cvrk"_s), target = path(u"converted%3.vrk"_s);
        QVERIFY(BackupData::write(
            cvrk, BackupData::json({{"machine", "CVRK"},
                                    {"dataLevel", 1},
                                    {"techparams", BackupData::numbers(53, 100, 1)}})));
        const QString args =
            u"convert %1 -o %2 --type VrkC1 --model-version 8 "_s.arg(cvrk, target);
        const CliRun r = cli(args + u"--json"_s);
        QCOMPARE(r.code, 0);
        BackupFile file(target);
        QVERIFY(file.load());
        QCOMPARE(file.machine(), ModelVersion(VrkC1, 8));
        // The mapping is the import's (tst_backup): here it only has to arrive.
        QCOMPARE(file.section(GroupTags::TechParams)[u"values"_s][15].toDouble(), 113.0); // <- 13
        // Active on this machine but without an old counterpart: listed to check,
        // and without a number, so that a restore leaves the machine's value.
        QCOMPARE(r.at(u"results/0/check/0/index"_s).toInt(), 53);
        QVERIFY(file.section(GroupTags::TechParams)[u"values"_s][53].isNull());
        // An existing file is kept unless --overwrite.
        const CliRun again = cli(args);
        QVERIFY(again.code == 1 && again.err.contains("--overwrite"));
        const CliRun text = cli(args + u"--overwrite"_s);
        QVERIFY2(text.code == 0 && text.lines().value(0).startsWith(target + u" written"_s),
                 text.out.constData());
        // An old file without technological parameters gives no backup of nothing.
        QVERIFY(BackupData::write(
            cvrk, BackupData::json({{"type", "rparams"}, {"values", BackupData::numbers(3)}})));
        QVERIFY(QFile::remove(target));
        const CliRun empty = cli(args);
        QVERIFY2(empty.code == 1 && !QFile::exists(target), empty.err.constData());
    }

    // A relay that completes the WebSocket handshake and then answers only the
    // identification read of machine "talks": each step gives up after
    // --timeout. Identifying "talks" shows --ws and --relay-port at work (the
    // real relay is tst_wsrelay's). A silent Modbus peer fails in the
    // connection itself, as a machine that is down does in identifyJsonAndText.
    // Machine "writes" also reads zeros and takes one write chunk: a restore
    // interrupted then says what the machine holds.
    void silentRelay()
    {
        QWebSocketServer relay(u"silent"_s, QWebSocketServer::NonSecureMode);
        QVERIFY(relay.listen(QHostAddress::LocalHost));
        QList<QWebSocket *> sockets;
        int writes = 0;
        connect(&relay, &QWebSocketServer::newConnection, this, [&] {
            QWebSocket *socket = sockets.emplace_back(relay.nextPendingConnection());
            const bool writer = socket->requestUrl().path().contains(u"writes"_s);
            if (!writer && !socket->requestUrl().path().contains(u"talks"_s))
                return;
            connect(socket, &QWebSocket::textMessageReceived, socket,
                    [socket, writer, &writes](const QString &text) {
                        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
                        const qint64 tid = m[u"tid"_s].toInteger();
                        // Variables 256..269: VRK-C1 (v. 8), S/N 77, SW 6.12.
                        if (m[u"start_index"_s].toInt() == 256)
                            socket->sendTextMessage(uR"({"event": "get_vars_done", "tid": %1,
                                    "values": [0, 0, 0, 0, 0, 0, 1, 0, 6, 77, 612, 0, 8, 0]})"_s
                                                        .arg(tid));
                        else if (writer && m[u"verb"_s] == u"get_vars"_s)
                            socket->sendTextMessage(
                                u"{\"event\": \"get_vars_done\", \"tid\": %1, \"values\": [%2]}"_s
                                    .arg(tid)
                                    .arg(QStringList(m[u"length"_s].toInt(), u"0"_s).join(u',')));
                        else if (writer && m[u"verb"_s] == u"set_vars"_s && ++writes == 1)
                            socket->sendTextMessage(
                                u"{\"event\": \"set_vars_done\", \"tid\": %1}"_s.arg(tid));
                    });
        });
        QElapsedTimer clock;
        clock.start();
        const QString ws = u" --ws --relay-port %1 --timeout 1"_s.arg(relay.serverPort());
        const CliRun quiet = cli(u"identify quiet"_s + ws), talks = cli(u"read talks 1024"_s + ws);
        for (const CliRun &r : {quiet, talks})
            QVERIFY2(r.code == 1 && r.err.contains("no answer from the machine within 1 s"),
                     r.err.constData());
        QVERIFY(talks.err.contains("talks: reading")); // identified, then silence
        QCOMPARE(sockets.size(), 2);
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));

        QProcess restore;
        restore.start(QStringLiteral(VRK6_CLI_PATH),
                      {u"restore"_s, u"writes"_s, backup(u"cut.vrk"_s, 1), u"--ws"_s,
                       u"--relay-port"_s, QString::number(relay.serverPort())});
        QTRY_COMPARE(writes, 2); // the first chunk confirmed, the second unanswered
        restore.terminate();
        QTRY_COMPARE(restore.state(), QProcess::NotRunning);
        const QByteArray out = restore.readAllStandardOutput();
        QVERIFY2(restore.exitCode() == 1 &&
                     restore.readAllStandardError().contains("interrupted") &&
                     out.contains(": Written before the error: Technological Parameters (in "
                                  "part).\nwrites: Not written: R Parameters") &&
                     out.contains("before the restore are in"),
                 out.constData());
        qDeleteAll(sockets);
        relay.close(); // a relay not running: the tool says that is what is missing
        const CliRun none = cli(u"identify m"_s + ws);
        QVERIFY2(none.code == 1 && none.err.contains("no relay answers on localhost:"),
                 none.err.constData());
    }

    void backupSeveral()
    {
        const CliRun all = cli(u"backup --json --dir %1 %2 %3 %4"_s.arg(path(u"all"_s), simA.host(),
                                                                        simB.host(), simC.host()));
        QVERIFY2(all.code == 0, all.err.constData());
        QCOMPARE(all.at(u"results"_s).toArray().size(), 3);
        const QStringList starts{u"VrkC1-1000-"_s, u"VrkA1-BN005007-"_s, u"VrkE1-3-"_s};
        for (int i = 0; i < 3; ++i) {
            const QString name = all.at(u"results/%1/file"_s.arg(i)).toString();
            QVERIFY2(QFileInfo(name).fileName().startsWith(starts[i]), qPrintable(name));
            // Each file holds its own machine's values, though all were read at once.
            BackupFile file(name);
            QVERIFY(file.load());
            QCOMPARE(DistinctValues::sections(file), DistinctValues::Tags);
            QCOMPARE(DistinctValues::differences(file, i + 1), QList<int>());
        }

        // Teeth only when asked; an existing file is kept.
        const QString teeth = u"backup %1 -o %2"_s.arg(simA.host(), path(u"teeth.vrk"_s));
        QCOMPARE(cli(teeth + u" --with-teeth"_s).code, 0);
        BackupFile file(path(u"teeth.vrk"_s));
        QVERIFY(file.load() && DistinctValues::sections(file).contains(GroupTags::Teeth));
        QCOMPARE(cli(teeth).code, 1);
    }

    void restoreDryRunAndChecks()
    {
        // Simulator A's values but for an R parameter and two technological
        // ones, and one R parameter empty.
        const QMap<int, double> edits{
            {1030, 1.5}, {1100, -2.0}, {1792 + 9, 7.0}, {1792 + 10, qQNaN()}};
        const QString file = backup(u"restore%3.vrk"_s, 1, edits);
        // Whatever the simulator logged is in its pipe once the tool has ended.
        const auto writes = [](SimProcess &sim) {
            QTest::qWait(100);
            return sim.log().count(u"vrk6-sim: write "_s);
        };

        const CliRun dry = cli(u"restore --json %1 %2 --dry-run"_s.arg(simA.host(), file));
        QCOMPARE(dry.code, 0);
        const QJsonArray changes = dry.at(u"results/0/changes"_s).toArray();
        QCOMPARE(changes.size(), 3);
        for (const QJsonValue change : changes) {
            const int variable = change[u"variable"_s].toInt();
            QCOMPARE(change[u"file"_s].toDouble(), edits.value(variable, 1e9));
            QCOMPARE(change[u"machine"_s].toDouble(), double(of(variable, 1)));
        }
        const CliRun dryText = cli(u"restore %1 %2 --dry-run"_s.arg(simA.host(), file));
        QCOMPARE(dryText.lines().size(), 1 + 3);
        QVERIFY(dryText.lines()[0].contains(u" of %1: 3 parameters"_s.arg(file)));
        QVERIFY(dryText.lines()[3].endsWith(u" | 2950.25 -> 7"_s));
        QCOMPARE(writes(simA), 0);

        // Another machine type: refused without --force, nothing written.
        const CliRun mismatch = cli(u"restore %1 %2"_s.arg(simB.host(), file));
        QVERIFY2(mismatch.code == 1 && mismatch.err.contains("--force"), mismatch.err.constData());
        QCOMPARE(writes(simB), 0);

        // Only the R parameters are written (the safety copy's: tst_machinejobs).
        const CliRun rparams =
            cli(u"restore --json %1 %2 --sections rparams"_s.arg(simA.host(), file));
        QVERIFY(rparams.code == 0 && rparams.at(u"results/0/leftOut"_s).toInt() == 1);
        const CliRun read = cli(u"read --float %1 1801 1030"_s.arg(simA.host()));
        QCOMPARE(read.lines(), (QStringList{u"1801\t7"_s, u"1030\t2757.5"_s}));
        QVERIFY(QFileInfo::exists(rparams.at(u"results/0/safetyCopy"_s).toString()));

        // A machine that clamps what it is sent: the read-back check names the value.
        const CliRun clamped = cli(
            u"restore --force --no-safety-copy %1 %2 --sections rparams"_s.arg(simC.host(), file));
        // All R parameters of the file are above the clamp but 7 and the empty one.
        QVERIFY2(clamped.code == 1 && clamped.err.contains("254 values read back differ"),
                 clamped.err.constData());
        QVERIFY2(clamped.lines().value(1).startsWith(u"R Parameters | "_s) &&
                     clamped.lines().value(1).endsWith(u" | sent 2948, reads 100"_s),
                 clamped.out.constData());
    }

    void uploadSeveral()
    {
        // Lines that differ: a chunk sent twice or out of order shows.
        QByteArray program;
        for (int i = 0; program.size() < 1001; ++i)
            program += "N" + QByteArray::number(i) + " G01 X" + QByteArray::number(i * 7) + "\n";
        QVERIFY(BackupData::write(path(u"part.cnc"_s), program));
        // Simulator C is not ready for an upload.
        const CliRun r = cli(u"upload --json %1 %2 %3 %4"_s.arg(simA.host(), simB.host(),
                                                                simC.host(), path(u"part.cnc"_s)));
        QCOMPARE(r.code, 1);
        QCOMPARE(r.at(u"results/0/resultCode"_s).toInt(), 2);
        QVERIFY(r.at(u"results/2/error"_s).toString().contains(u"not ready"_s));
        for (const QString &dir : {u"programs-a"_s, u"programs-b"_s})
            QCOMPARE(BackupData::read(path(dir + u"/program-001.cnc"_s)), program);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
