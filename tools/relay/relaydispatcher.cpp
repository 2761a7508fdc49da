#include "relaydispatcher.h"

#include "acpu/display.h"
#include "acpu/panelmap.h"

#include <QJsonArray>

namespace PM = Acpu::PanelMap;

RelayDispatcher::RelayDispatcher(Acpu::Connection *machine, QObject *parent)
    : QObject(parent), m_machine(machine)
{
    connect(machine, &Acpu::Connection::stateChanged, this, &RelayDispatcher::scheduleService);
}

void RelayDispatcher::handleMessage(const QString &text)
{
    // A closing session takes nothing new: its answers could not be sent.
    if (m_stopped)
        return;
    auto command = RelayCommand::parse(text.toUtf8());
    if (!command) {
        emit badInput(command.error());
        return;
    }
    if (m_queue.size() >= MaxQueued) {
        emit badInput(QStringLiteral("too many commands waiting"));
        return;
    }
    m_queue.append(*command);
    scheduleService();
}

void RelayDispatcher::stop()
{
    m_stopped = true;
    m_queue.clear();
    if (isDrained())
        emit drained();
}

void RelayDispatcher::scheduleService()
{
    if (m_serviceScheduled)
        return;
    m_serviceScheduled = true;
    QMetaObject::invokeMethod(this, &RelayDispatcher::service, Qt::QueuedConnection);
}

void RelayDispatcher::service()
{
    m_serviceScheduled = false;
    if (m_stopped || m_machine->State() != Acpu::Connection::Connected)
        return;
    for (int n = 0; n < BatchSize && !m_queue.isEmpty() && m_inFlight < MaxInFlight && !m_stopped;
         ++n)
        execute(m_queue.takeFirst());
    if (!m_queue.isEmpty() && m_inFlight < MaxInFlight)
        scheduleService();
}

void RelayDispatcher::execute(const RelayCommand &command)
{
    switch (command.verb) {
    case RelayCommand::Refresh:
        startRefresh();
        break;
    case RelayCommand::Key:
        startKey(command.key);
        break;
    case RelayCommand::GetVars:
        startRead(command);
        break;
    case RelayCommand::SetVars:
        startWrite(command);
        break;
    }
}

void RelayDispatcher::track(const Acpu::Connection::Result &result,
                            std::function<void(Acpu::Request *)> done)
{
    if (!result) {
        emit machineFailed(QStringLiteral("machine not connected"));
        return;
    }
    ++m_inFlight;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result, done] {
        --m_inFlight;
        done(request);
        ended();
    });
}

void RelayDispatcher::ended()
{
    if (m_stopped) {
        if (isDrained())
            emit drained();
        return;
    }
    if (!m_queue.isEmpty())
        scheduleService();
}

void RelayDispatcher::startRefresh()
{
    if (m_panelRead) {
        m_refreshAgain = true;
        return;
    }
    Acpu::VarRanges ranges = PM::DisplayRanges();
    ranges.append(Acpu::VarRange{PM::LampVariable, 1});
    const auto result = m_machine->Read(Acpu::NormalizeRanges(ranges));
    if (!result)
        return;
    m_panelRead = *result;
    connect(*result, &Acpu::Request::finished, this, [this, request = *result] {
        m_panelRead = nullptr;
        if (!request->ErrorString().isEmpty()) {
            // Said at once, so that the client need not wait for its time-out.
            emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("refresh_failed")},
                                    {QStringLiteral("message"), request->ErrorString()}});
        } else {
            Acpu::Display panel;
            m_machine->GetDisplay(panel);
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
        if (std::exchange(m_refreshAgain, false) && !m_stopped)
            startRefresh();
        else
            ended();
    });
}

void RelayDispatcher::startKey(int code)
{
    // Not SendKey: a key is a transaction like any other and must count.
    track(
        m_machine->Write({Acpu::VarRange{PM::KeyVariable, 2}}, {Acpu::Value{code}, Acpu::Value{1}}),
        [](Acpu::Request *) {});
}

void RelayDispatcher::startRead(const RelayCommand &command)
{
    track(m_machine->Read({command.range}),
          [this, tid = command.tid, range = command.range](Acpu::Request *request) {
              if (!request->ErrorString().isEmpty()) {
                  emit machineFailed(
                      QStringLiteral("machine request failed: %1").arg(request->ErrorString()));
                  return;
              }
              QJsonArray values;
              for (qint64 k = 0; k < range.length; ++k)
                  values.append(m_machine->ReadInt(static_cast<int>(range.start + k)));
              emit answer(QJsonObject{{QStringLiteral("event"), QStringLiteral("get_vars_done")},
                                      {QStringLiteral("tid"), tid},
                                      {QStringLiteral("values"), values}});
          });
}

void RelayDispatcher::startWrite(const RelayCommand &command)
{
    Acpu::VarRanges ranges;
    QList<Acpu::Value> values;
    for (const auto &[index, bits] : command.values) {
        ranges.append(Acpu::VarRange{index, 1});
        values.append(Acpu::Value{bits});
    }
    // The values are ordered by index, so they line up with the merged ranges.
    track(m_machine->Write(Acpu::NormalizeRanges(ranges), values),
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
