#pragma once

#include "relaycommand.h"

#include "acpu/connection.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

// Carries one socket's commands to its machine and the machine's answers
// back as events. Knows nothing of sockets, so it can be driven directly.
class RelayDispatcher : public QObject
{
    Q_OBJECT
public:
    // Commands waiting for the machine, and machine transactions in flight
    // (keys included): a client that floods us is refused rather than
    // served without bound.
    static constexpr int MaxQueued = 256;
    static constexpr int MaxInFlight = 256;
    // Commands started per turn of the event loop, so that one busy socket
    // leaves room for the others.
    static constexpr int BatchSize = 16;

    explicit RelayDispatcher(Acpu::Connection *machine, QObject *parent = nullptr);

    void handleMessage(const QString &text);
    // Starts nothing more; drained() follows once everything started has
    // been answered.
    void stop();
    bool isDrained() const { return m_inFlight == 0 && !m_panelRead; }

signals:
    void answer(const QJsonObject &event);
    void badInput(const QString &reason);
    // The machine failed a transaction the client waits for.
    void machineFailed(const QString &reason);
    void drained();

private:
    void execute(const RelayCommand &command);
    void scheduleService();
    void service();
    void startRefresh();
    void startKey(int code);
    void startRead(const RelayCommand &command);
    void startWrite(const RelayCommand &command);
    // Counts a started transaction; `done` runs when it ends.
    void track(const Acpu::Connection::Result &result, std::function<void(Acpu::Request *)> done);
    void ended();

    Acpu::Connection *m_machine;
    QList<RelayCommand> m_queue;
    QPointer<Acpu::Request> m_panelRead;
    int m_inFlight = 0;
    bool m_serviceScheduled = false;
    // A refresh came in while the panel was being read: that read may
    // predate the commands before it, so one more follows.
    bool m_refreshAgain = false;
    bool m_stopped = false;
};
