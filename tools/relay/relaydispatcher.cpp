#include "relaydispatcher.h"

#include "acpu/display.h"
#include "acpu/panelmap.h"

#include <QJsonArray>

namespace PM = Acpu::PanelMap;

RelayDispatcher::RelayDispatcher(Acpu::Connection *machine, QObject *parent)
    : QObject(parent), machine(machine)
{
    connect(machine, &Acpu::Connection::stateChanged, this, &RelayDispatcher::OnMachineState);
}

void RelayDispatcher::HandleMessage(const QString &text)
{
    auto command = RelayCommand::Parse(text.toUtf8());
    if (!command) {
        emit badInput(command.error());
        return;
    }
    if (machine->State() != Acpu::Connection::Connected) {
        if (backlog.size() >= MaxBacklog) {
            emit badInput(QStringLiteral("too many commands while the machine connects"));
            return;
        }
        backlog.append(*command);
        return;
    }
    Execute(*command);
}

void RelayDispatcher::OnMachineState(Acpu::Connection::ConnectionState state)
{
    if (state != Acpu::Connection::Connected)
        return;
    const QList<RelayCommand> waiting = std::exchange(backlog, {});
    for (const RelayCommand &command : waiting)
        Execute(command);
}

void RelayDispatcher::Execute(const RelayCommand &command)
{
    switch (command.verb) {
    case RelayCommand::Refresh:
        StartRefresh();
        break;
    case RelayCommand::Key:
        machine->SendKey(command.key);
        break;
    case RelayCommand::GetVars:
    case RelayCommand::SetVars:
        if (inFlight >= MaxInFlight) {
            emit badInput(QStringLiteral("too many transactions in flight"));
            return;
        }
        if (command.verb == RelayCommand::GetVars)
            StartRead(command);
        else
            StartWrite(command);
        break;
    }
}

bool RelayDispatcher::Started(const Acpu::Connection::Result &result)
{
    if (result)
        return true;
    emit machineFailed(QStringLiteral("machine not connected"));
    return false;
}

void RelayDispatcher::StartRefresh()
{
    // One panel read answers every refresh asked for while it runs.
    if (panelRead)
        return;
    Acpu::VarRanges ranges = PM::DisplayRanges();
    ranges.append(Acpu::VarRange{PM::LampVariable, 1});
    const auto result = machine->Read(Acpu::NormalizeRanges(ranges));
    if (!result)
        return;
    panelRead = *result;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result] {
        // A failed panel read goes unanswered: the client asks again on its
        // next poll, and a lost machine closes the socket anyway.
        if (!request->ErrorString().isEmpty())
            return;
        Acpu::Display panel;
        machine->GetDisplay(panel);
        const QJsonObject content{
            {QStringLiteral("line1"), panel.line1()},   {QStringLiteral("line2"), panel.line2()},
            {QStringLiteral("line3"), panel.line3()},   {QStringLiteral("line4"), panel.line4()},
            {QStringLiteral("led1"), panel.runLed()},   {QStringLiteral("led2"), panel.errorLed()},
            {QStringLiteral("led3"), panel.mode1Led()}, {QStringLiteral("led4"), panel.mode2Led()}};
        emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("refresh")},
                                {QStringLiteral("content"), content}});
    });
}

void RelayDispatcher::StartRead(const RelayCommand &command)
{
    const auto result = machine->Read({command.range});
    if (!Started(result))
        return;
    ++inFlight;
    connect(*result, &Acpu::Request::finished, this,
            [this, request = *result, tid = command.tid, range = command.range] {
                --inFlight;
                if (!request->ErrorString().isEmpty()) {
                    emit machineFailed(
                        QStringLiteral("machine request failed: %1").arg(request->ErrorString()));
                    return;
                }
                QJsonArray values;
                for (qint64 k = 0; k < range.length; ++k)
                    values.append(machine->ReadInt(static_cast<int>(range.start + k)));
                emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("get_vars_done")},
                                        {QStringLiteral("tid"), tid},
                                        {QStringLiteral("values"), values}});
            });
}

void RelayDispatcher::StartWrite(const RelayCommand &command)
{
    Acpu::VarRanges ranges;
    QList<Acpu::Value> values;
    for (const auto &[index, bits] : command.values) {
        ranges.append(Acpu::VarRange{index, 1});
        values.append(Acpu::Value{bits});
    }
    // The values are ordered by index, so they line up with the merged ranges.
    const auto result = machine->Write(Acpu::NormalizeRanges(ranges), values);
    if (!Started(result))
        return;
    ++inFlight;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result, tid = command.tid] {
        --inFlight;
        if (!request->ErrorString().isEmpty()) {
            emit machineFailed(
                QStringLiteral("machine request failed: %1").arg(request->ErrorString()));
            return;
        }
        emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("set_vars_done")},
                                {QStringLiteral("tid"), tid}});
    });
}
