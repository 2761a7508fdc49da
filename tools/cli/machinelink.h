#pragma once

#include "acpu/connection.h"
#include "model/machine.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

// One machine reached from the command line: its connection (Modbus TCP, or
// the local WebSocket relay) and its identification. Every step is watched:
// a machine that stays silent for the time-out fails instead of hanging.
class MachineLink : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        bool ws = false;
        quint16 relayPort = 8000;
        int timeoutMs = 10000;
    };
    // The error text of a step; empty on success.
    using Done = std::function<void(const QString &error)>;

    MachineLink(const QString &host, const Options &options, QObject *parent = nullptr);
    ~MachineLink() override;

    QString host() const { return m_host; }
    Acpu::Connection &connection() { return *m_connection; }
    Machine &machine() { return m_machine; }

    // Connects and reads the identification.
    void open(Done done);
    // Runs a request that was started on the connection to its end.
    void run(Acpu::Connection::Result result, Done done,
             std::function<void(int percent)> progress = {});

    // Watching a step that runs elsewhere: alive() after each sign of life;
    // onSilence is called once if the machine stays silent for the time-out.
    void watch(std::function<void()> onSilence);
    void alive();
    void unwatch();
    // Ctrl-C: the step watched now, and any later one, is given up at once.
    void interrupt();

    // Why a watched step was given up: silence or an interrupt.
    QString givenUpText() const;

private:
    void onStateChanged(Acpu::Connection::ConnectionState state);
    void onError(int code, const QString &message);
    void identify();
    void endOpening(const QString &error);

    QString m_host;
    Options m_options;
    std::unique_ptr<Acpu::Connection> m_connection;
    Machine m_machine;
    QTimer m_silence;
    std::function<void()> m_onSilence;
    Done m_opening; // set while open() runs
    bool m_interrupted = false;
};
