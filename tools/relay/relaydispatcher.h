#pragma once

#include "relaycommand.h"

#include "acpu/connection.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>

// Carries one socket's commands to its machine and the machine's answers
// back as events. Knows nothing of sockets, so it can be driven directly.
class RelayDispatcher : public QObject
{
    Q_OBJECT
public:
    // Commands held while the machine connects, and transactions in flight:
    // a client that floods us is ignored rather than served without bound.
    static constexpr int MaxBacklog = 256;
    static constexpr int MaxInFlight = 256;

    explicit RelayDispatcher(Acpu::Connection *machine, QObject *parent = nullptr);

    void HandleMessage(const QString &text);

signals:
    void answer(const QJsonObject &event);
    void badInput(const QString &reason);
    // The machine failed a transaction the client waits for.
    void machineFailed(const QString &reason);

private:
    void Execute(const RelayCommand &command);
    void OnMachineState(Acpu::Connection::ConnectionState state);
    void StartRefresh();
    void StartRead(const RelayCommand &command);
    void StartWrite(const RelayCommand &command);
    bool Started(const Acpu::Connection::Result &result);

    Acpu::Connection *machine;
    QList<RelayCommand> backlog;
    QPointer<Acpu::Request> panelRead;
    int inFlight = 0;
};
