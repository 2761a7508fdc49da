#include "simprocess.h"

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTest>

SimProcess::~SimProcess()
{
    stop();
}

quint16 SimProcess::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool SimProcess::start(const QStringList &options, quint16 port)
{
    m_port = port ? port : freePort();
    QStringList args{QStringLiteral("--port"), QString::number(m_port)};
    if (!options.contains(QStringLiteral("--announce")))
        args << QStringLiteral("--no-announce");
    for (const QString &option : options) {
        if (option != QStringLiteral("--announce"))
            args << option;
    }
    output.clear();
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(VRK6_SIM_PATH), args);
    if (!process.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (log().contains(QStringLiteral("listening on")))
            return true;
        if (process.state() == QProcess::NotRunning)
            return false;
        QTest::qWait(20);
    }
    return false;
}

void SimProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString SimProcess::log()
{
    output += process.readAllStandardError();
    return QString::fromUtf8(output);
}

int SimProcess::keyCount()
{
    return static_cast<int>(log().count(QStringLiteral("vrk6-sim: key ")));
}
