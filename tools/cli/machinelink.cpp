#include "machinelink.h"

#include "acpu/modbusconnection.h"
#include "acpu/wsconnection.h"

namespace {
// The software version in the identification block, in hundredths.
constexpr int SoftwareVariable = 266;
} // namespace

MachineLink::MachineLink(const QString &host, const Options &options, QObject *parent)
    : QObject(parent), m_host(host), m_options(options),
      m_connection(options.ws ? static_cast<Acpu::Connection *>(new Acpu::WsConnection)
                              : new Acpu::ModbusConnection),
      m_machine(m_connection.get())
{
    if (options.ws)
        static_cast<Acpu::WsConnection *>(m_connection.get())->SetServicePort(options.relayPort);
    else
        // The panel's short time-out would fail a slow machine long before
        // the silence --timeout allows.
        static_cast<Acpu::ModbusConnection *>(m_connection.get())
            ->SetResponseTimeout(options.timeoutMs);
    m_silence.setSingleShot(true);
    m_silence.setInterval(options.timeoutMs);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        if (auto onSilence = std::exchange(m_onSilence, nullptr))
            onSilence();
    });
    connect(m_connection.get(), &Acpu::Connection::stateChanged, this,
            &MachineLink::onStateChanged);
    connect(m_connection.get(), &Acpu::Connection::errorOccurred, this, &MachineLink::onError);
}

MachineLink::~MachineLink()
{
    // Requests still running fail quietly: nobody listens any more.
    m_connection->disconnect(this);
}

QString MachineLink::givenUpText() const
{
    if (m_interrupted)
        return tr("interrupted");
    return tr("no answer from the machine within %1 s").arg(m_options.timeoutMs / 1000);
}

void MachineLink::watch(std::function<void()> onSilence)
{
    m_onSilence = std::move(onSilence);
    m_silence.start();
}

void MachineLink::alive()
{
    if (m_onSilence)
        m_silence.start();
}

void MachineLink::interrupt()
{
    m_interrupted = true;
    m_silence.setInterval(0);
    if (m_onSilence)
        m_silence.start();
}

void MachineLink::unwatch()
{
    m_onSilence = nullptr;
    m_silence.stop();
}

void MachineLink::open(Done done)
{
    m_opening = std::move(done);
    watch([this] { endOpening(givenUpText()); });
    // SetHost may fail at once, reporting through errorOccurred.
    if (!m_connection->SetHost(m_host) && m_opening)
        endOpening(m_connection->ErrorString());
}

void MachineLink::onStateChanged(Acpu::Connection::ConnectionState state)
{
    if (!m_opening)
        return;
    if (state == Acpu::Connection::Connected) {
        identify();
    } else if (state == Acpu::Connection::Disconnected) {
        // The transport may report why only after the state: give it a turn.
        QTimer::singleShot(0, this, [this] {
            if (!m_opening)
                return;
            const QString error = m_connection->ErrorString();
            endOpening(error.isEmpty() ? tr("the connection was closed") : error);
        });
    }
}

void MachineLink::onError(int code, const QString &message)
{
    if (!m_opening || m_connection->State() == Acpu::Connection::Connected)
        return;
    // The socket's own text does not say that it is the relay that is missing.
    if (m_options.ws && code == QAbstractSocket::ConnectionRefusedError)
        return endOpening(tr("no relay answers on localhost:%1 (start vrk6-relay, or give "
                             "--relay-port): %2")
                              .arg(m_options.relayPort)
                              .arg(message));
    endOpening(message);
}

void MachineLink::identify()
{
    run(m_machine.requestIdentification(), [this](const QString &error) {
        if (!error.isEmpty())
            endOpening(error);
        else if (!m_machine.updateIdentification())
            endOpening(tr("the machine reports software version %1, older than 6.00: it "
                          "cannot be identified")
                           .arg(m_connection->ReadInt(SoftwareVariable) / 100.0, 0, 'f', 2));
        else
            endOpening(QString());
    });
}

void MachineLink::endOpening(const QString &error)
{
    Done done = std::exchange(m_opening, nullptr);
    unwatch();
    if (done)
        done(error);
}

void MachineLink::run(Acpu::Connection::Result result, Done done, std::function<void(int)> progress)
{
    if (!result) {
        done(tr("not connected to the machine"));
        return;
    }
    QPointer<Acpu::Request> request = *result;
    // One outcome only: whichever comes first of the request's end and silence.
    auto shared = std::make_shared<Done>(std::move(done));
    auto finish = [shared](const QString &error) {
        if (Done d = std::exchange(*shared, nullptr))
            d(error);
    };
    connect(request, &Acpu::Request::progress, this, [this, progress](int percent) {
        alive();
        if (progress)
            progress(percent);
    });
    connect(request, &Acpu::Request::finished, this, [this, request, finish] {
        unwatch();
        finish(request ? request->ErrorString() : QString());
    });
    watch([this, request, finish] {
        // The connection forgets a deleted request; its late answer is ignored.
        delete request.data();
        finish(givenUpText());
    });
}
