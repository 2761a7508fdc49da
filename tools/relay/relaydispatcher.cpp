#include "relaydispatcher.h"

#include "acpu/display.h"
#include "acpu/panelmap.h"

#include <QJsonArray>

namespace PM = Acpu::PanelMap;

RelayDispatcher::RelayDispatcher(Acpu::Connection *machine, QObject *parent)
    : QObject(parent), machine(machine)
{
    connect(machine, &Acpu::Connection::stateChanged, this, &RelayDispatcher::ScheduleService);
}

void RelayDispatcher::HandleMessage(const QString &text)
{
    // A closing session takes nothing new: its answers could not be sent.
    if (stopped)
        return;
    auto command = RelayCommand::Parse(text.toUtf8());
    if (!command) {
        emit badInput(command.error());
        return;
    }
    if (queue.size() >= MaxQueued) {
        emit badInput(QStringLiteral("too many commands waiting"));
        return;
    }
    queue.append(*command);
    ScheduleService();
}

void RelayDispatcher::Stop()
{
    stopped = true;
    queue.clear();
    if (IsDrained())
        emit drained();
}

void RelayDispatcher::ScheduleService()
{
    if (serviceScheduled)
        return;
    serviceScheduled = true;
    QMetaObject::invokeMethod(this, &RelayDispatcher::Service, Qt::QueuedConnection);
}

void RelayDispatcher::Service()
{
    serviceScheduled = false;
    if (stopped || machine->State() != Acpu::Connection::Connected)
        return;
    for (int n = 0; n < BatchSize && !queue.isEmpty() && inFlight < MaxInFlight && !stopped; ++n)
        Execute(queue.takeFirst());
    if (!queue.isEmpty() && inFlight < MaxInFlight)
        ScheduleService();
}

void RelayDispatcher::Execute(const RelayCommand &command)
{
    switch (command.verb) {
    case RelayCommand::Refresh:
        StartRefresh();
        break;
    case RelayCommand::Key:
        StartKey(command.key);
        break;
    case RelayCommand::GetVars:
        StartRead(command);
        break;
    case RelayCommand::SetVars:
        StartWrite(command);
        break;
    }
}

void RelayDispatcher::Track(const Acpu::Connection::Result &result,
                            std::function<void(Acpu::Request *)> done)
{
    if (!result) {
        emit machineFailed(QStringLiteral("machine not connected"));
        return;
    }
    ++inFlight;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result, done] {
        --inFlight;
        done(request);
        Ended();
    });
}

void RelayDispatcher::Ended()
{
    if (stopped) {
        if (IsDrained())
            emit drained();
        return;
    }
    if (!queue.isEmpty())
        ScheduleService();
}

void RelayDispatcher::StartRefresh()
{
    if (panelRead) {
        refreshAgain = true;
        return;
    }
    Acpu::VarRanges ranges = PM::DisplayRanges();
    ranges.append(Acpu::VarRange{PM::LampVariable, 1});
    const auto result = machine->Read(Acpu::NormalizeRanges(ranges));
    if (!result)
        return;
    panelRead = *result;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result] {
        panelRead = nullptr;
        if (!request->ErrorString().isEmpty()) {
            // Said at once, so that the client need not wait for its time-out.
            emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("refresh_failed")},
                                    {QStringLiteral("message"), request->ErrorString()}});
        } else {
            Acpu::Display panel;
            machine->GetDisplay(panel);
            const QJsonObject content{{QStringLiteral("line1"), panel.line1()},
                                      {QStringLiteral("line2"), panel.line2()},
                                      {QStringLiteral("line3"), panel.line3()},
                                      {QStringLiteral("line4"), panel.line4()},
                                      {QStringLiteral("led1"), panel.runLed()},
                                      {QStringLiteral("led2"), panel.errorLed()},
                                      {QStringLiteral("led3"), panel.mode1Led()},
                                      {QStringLiteral("led4"), panel.mode2Led()}};
            emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("refresh")},
                                    {QStringLiteral("content"), content}});
        }
        if (std::exchange(refreshAgain, false) && !stopped)
            StartRefresh();
        else
            Ended();
    });
}

void RelayDispatcher::StartKey(int code)
{
    // Not SendKey: a key is a transaction like any other and must count.
    Track(machine->Write({Acpu::VarRange{PM::KeyVariable, 2}}, {Acpu::Value{code}, Acpu::Value{1}}),
          [](Acpu::Request *) {});
}

void RelayDispatcher::StartRead(const RelayCommand &command)
{
    Track(machine->Read({command.range}),
          [this, tid = command.tid, range = command.range](Acpu::Request *request) {
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
    Track(machine->Write(Acpu::NormalizeRanges(ranges), values),
          [this, tid = command.tid](Acpu::Request *request) {
              if (!request->ErrorString().isEmpty()) {
                  emit machineFailed(
                      QStringLiteral("machine request failed: %1").arg(request->ErrorString()));
                  return;
              }
              emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("set_vars_done")},
                                      {QStringLiteral("tid"), tid}});
          });
}
