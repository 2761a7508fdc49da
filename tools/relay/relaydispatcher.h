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

    void HandleMessage(const QString &text);
    // Starts nothing more; drained() follows once everything started has
    // been answered.
    void Stop();
    bool IsDrained() const { return inFlight == 0 && !panelRead; }

signals:
    void answer(const QJsonObject &event);
    void badInput(const QString &reason);
    // The machine failed a transaction the client waits for.
    void machineFailed(const QString &reason);
    void drained();

private:
    void Execute(const RelayCommand &command);
    void ScheduleService();
    void Service();
    void StartRefresh();
    void StartKey(int code);
    void StartRead(const RelayCommand &command);
    void StartWrite(const RelayCommand &command);
    // Counts a started transaction; `done` runs when it ends.
    void Track(const Acpu::Connection::Result &result, std::function<void(Acpu::Request *)> done);
    void Ended();

    Acpu::Connection *machine;
    QList<RelayCommand> queue;
    QPointer<Acpu::Request> panelRead;
    int inFlight = 0;
    bool serviceScheduled = false;
    // A refresh came in while the panel was being read: that read may
    // predate the commands before it, so one more follows.
    bool refreshAgain = false;
    bool stopped = false;
};
