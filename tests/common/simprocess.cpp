#include "simprocess.h"

#include <QTcpServer>
#include <QTest>

quint16 SimProcess::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool SimProcess::start(const QStringList &options, quint16 port)
{
    // Another test's server may take a free port before the simulator does:
    // one chosen here is then chosen again.
    for (int attempt = 0; attempt < (port ? 1 : 3); ++attempt) {
        m_port = port ? port : freePort();
        QStringList args = QStringList{QStringLiteral("--port"), QString::number(m_port)} + options;
        if (args.removeAll(QStringLiteral("--announce")) == 0)
            args << QStringLiteral("--no-announce");
        output.clear();
        process.start(QStringLiteral(VRK6_SIM_PATH), args);
        const auto listening = [this] { return log().contains(QStringLiteral("listening on")); };
        if (QTest::qWaitFor([&] { return listening() || process.state() == QProcess::NotRunning; },
                            15000) &&
            listening())
            return true;
    }
    return false;
}

void SimProcess::stop()
{
    process.terminate(); // not kill: the simulator saves its --state file on the way out
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

QString SimProcess::log()
{
    output += process.readAllStandardError();
    return QString::fromUtf8(output);
}
