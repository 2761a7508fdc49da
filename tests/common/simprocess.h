#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs vrk6-sim on a free loopback port for one test and stops it again.
class SimProcess
{
public:
    ~SimProcess() { stop(); }

    // Starts the simulator with these extra options (DNS-SD announcement off
    // unless the options say otherwise) and waits until it listens.
    bool start(const QStringList &options = {}, quint16 port = 0);
    void stop();
    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // Everything the simulator has logged so far.
    QString log();
    // How many key presses the simulator has logged.
    int keyCount() { return int(log().count(QStringLiteral("vrk6-sim: key "))); }

    static quint16 freePort();

private:
    QProcess process;
    QByteArray output;
    quint16 m_port = 0;
};
