#include "simmachine.h"

#include "acpu/hostport.h"
#include "acpu/panelmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <bit>
#include <cstdio>

namespace PM = Acpu::PanelMap;

namespace {
constexpr int RegisterCount = 65536;
// Everything from here on is parameter memory, kept in the state file.
constexpr int FirstParameterVariable = 1024;
constexpr int UploadEnable = 512;
constexpr int UploadState = 513;
constexpr int UploadResult = 514;
constexpr int UploadWindow = 515;
constexpr int UploadWindowLength = 60;

void log(const QString &text)
{
    std::fprintf(stderr, "vrk6-sim: %s\n", qPrintable(text));
    std::fflush(stderr);
}

std::pair<uint, uint> identification(MachineType type)
{
    switch (type) {
    case InOutTest:
        return {1, 0};
    case VrkA1:
        return {1, 1};
    case VrkB1:
        return {1, 2};
    case VrkA2:
        return {1, 3};
    case VrkB2:
        return {1, 4};
    case VrkA3:
        return {1, 5};
    case VrkC1:
        return {1, 6};
    case ZumB1:
        return {3, 1};
    case VrkD1:
        return {4, 1};
    case VrkE1:
        return {4, 2};
    default:
        return {2, 0};
    }
}
} // namespace

// Remembers every client so the simulator can drop them on purpose.
class SimMachine::Observer : public QModbusTcpConnectionObserver
{
public:
    explicit Observer(SimMachine *machine) : m_machine(machine) {}
    bool acceptNewConnection(QTcpSocket *client) override
    {
        log(QStringLiteral("connection from %1:%2")
                .arg(client->peerAddress().toString())
                .arg(client->peerPort()));
        m_machine->m_clients.append(client);
        return true;
    }

private:
    SimMachine *m_machine;
};

SimMachine::SimMachine(const SimOptions &opts, QObject *parent)
    : QModbusTcpServer(parent), m_options(opts),
      m_panel(QStringLiteral("%1 S/N %2")
                  .arg(MachineDescription::machineTypeTitle(opts.type))
                  .arg(opts.serial))
{
    QModbusDataUnitMap map;
    map.insert(
        QModbusDataUnit::HoldingRegisters,
        QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 0, QList<quint16>(RegisterCount, 0)));
    setMap(map);
    setServerAddress(1);
    installConnectionObserver(new Observer(this));
    connect(this, &QModbusTcpServer::modbusClientDisconnected, this, [](QTcpSocket *socket) {
        log(QStringLiteral("connection from %1:%2 closed")
                .arg(socket->peerAddress().toString())
                .arg(socket->peerPort()));
    });

    const auto [family, model] = identification(m_options.type);
    setVariable(258, m_options.bn);
    setVariable(262, family);
    setVariable(264, model);
    setVariable(265, m_options.serial);
    setVariable(266, m_options.software);
    setVariable(268, m_options.modelVersion);
    setVariable(UploadEnable, m_options.uploadDisabled ? 0 : 1);
    showPanel();

    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(200);
    connect(&m_saveTimer, &QTimer::timeout, this, &SimMachine::saveState);

    m_programsDir = m_options.programsDir;
    if (m_programsDir.isEmpty())
        m_programsDir =
            QDir::temp().filePath(QStringLiteral("vrk6-sim-programs-%1").arg(m_options.port));
}

SimMachine::~SimMachine()
{
    if (m_saveTimer.isActive())
        saveState();
}

Result<void> SimMachine::start()
{
    // The server joins address and port with a colon: without its brackets
    // an IPv6 address is misread, and the server listened on every address
    // at port 65535.
    setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                           Acpu::HostPort{m_options.listen.toString(), m_options.port}.urlHost());
    setConnectionParameter(QModbusDevice::NetworkPortParameter, m_options.port);
    if (!connectDevice())
        return std::unexpected(errorString());
    log(QStringLiteral("listening on %1:%2 as %3 (v. %4), S/N %5")
            .arg(m_options.listen.toString())
            .arg(m_options.port)
            .arg(MachineDescription::machineTypeTitle(m_options.type))
            .arg(m_options.modelVersion)
            .arg(m_options.serial));
    return {};
}

quint32 SimMachine::variable(int index) const
{
    QModbusDataUnit unit(QModbusDataUnit::HoldingRegisters, 2 * index, 2);
    if (!data(&unit))
        return 0;
    return (quint32(unit.value(1)) << 16) | unit.value(0);
}

void SimMachine::setVariable(int index, quint32 value)
{
    setData(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 2 * index,
                            {quint16(value & 0xFFFF), quint16(value >> 16)}));
}

QModbusResponse SimMachine::processRequest(const QModbusPdu &request)
{
    if (m_options.delayMs > 0) {
        // A slow machine: the whole control unit stalls, as a busy one would.
        QThread::msleep(m_options.delayMs);
    }
    QModbusResponse response;
    if (touchesExceptionRange(request))
        response = QModbusExceptionResponse(request.functionCode(),
                                            QModbusExceptionResponse::IllegalDataAddress);
    else
        response = QModbusTcpServer::processRequest(request);
    // Every accepted write, also one that leaves a register as it was: the
    // server's dataWritten() stays silent then, and an upload chunk equal to
    // the one before (or a terminating 0 over a 0) would be lost.
    if (!response.isException()) {
        quint16 address = 0, count = 1;
        if (request.functionCode() == QModbusPdu::WriteMultipleRegisters) {
            request.decodeData(&address, &count);
            onDataWritten(QModbusDataUnit::HoldingRegisters, address, count);
        } else if (request.functionCode() == QModbusPdu::WriteSingleRegister) {
            request.decodeData(&address);
            onDataWritten(QModbusDataUnit::HoldingRegisters, address, count);
        }
    }

    if (m_options.dropAfter > 0 && ++m_transactions >= m_options.dropAfter) {
        m_transactions = 0;
        // Let this answer go out first, then hang up on everybody.
        QTimer::singleShot(0, this, [this] {
            for (const QPointer<QTcpSocket> &client : std::as_const(m_clients)) {
                if (client) {
                    log(QStringLiteral("dropping connection from %1:%2")
                            .arg(client->peerAddress().toString())
                            .arg(client->peerPort()));
                    client->disconnectFromHost();
                }
            }
            m_clients.removeAll(nullptr);
        });
    }
    return response;
}

bool SimMachine::touchesExceptionRange(const QModbusPdu &request) const
{
    if (m_options.exceptionLength <= 0)
        return false;
    quint16 address = 0, count = 0;
    switch (request.functionCode()) {
    case QModbusPdu::ReadHoldingRegisters:
    case QModbusPdu::WriteMultipleRegisters:
        request.decodeData(&address, &count);
        break;
    case QModbusPdu::WriteSingleRegister:
        request.decodeData(&address);
        count = 1;
        break;
    default:
        return false;
    }
    if (count == 0)
        return false;
    const int first = address / 2;
    const int last = (address + count - 1) / 2;
    const int exceptionLast = m_options.exceptionStart + m_options.exceptionLength - 1;
    return first <= exceptionLast && last >= m_options.exceptionStart;
}

void SimMachine::onDataWritten(QModbusDataUnit::RegisterType table, int address, int size)
{
    if (table != QModbusDataUnit::HoldingRegisters)
        return;
    const int firstVariable = address / 2;
    const int lastVariable = (address + size - 1) / 2;
    if (m_options.logWrites)
        log(QStringLiteral("write %1 %2").arg(firstVariable).arg(lastVariable - firstVariable + 1));
    clampWritten(firstVariable, lastVariable);
    if (firstVariable <= PM::KeyFlagVariable && lastVariable >= PM::KeyFlagVariable &&
        variable(PM::KeyFlagVariable) == 1) {
        onKey(static_cast<int>(variable(PM::KeyVariable)));
        setVariable(PM::KeyFlagVariable, 0);
    }
    if (firstVariable <= UploadState && lastVariable >= UploadState && variable(UploadState) == 2) {
        m_uploading = true;
        m_program.clear();
        log(QStringLiteral("program upload started"));
    }
    if (m_uploading && lastVariable >= UploadWindow &&
        firstVariable < UploadWindow + UploadWindowLength) {
        const int first = std::max(firstVariable, UploadWindow);
        const int last = std::min(lastVariable, UploadWindow + UploadWindowLength - 1);
        onUploadWords(first, last - first + 1);
    }
    if (lastVariable >= FirstParameterVariable && !m_options.stateFile.isEmpty())
        m_saveTimer.start();
}

void SimMachine::clampWritten(int firstVariable, int lastVariable)
{
    for (const SimOptions::Clamp &clamp : std::as_const(m_options.clamps)) {
        const int first = std::max(firstVariable, clamp.start);
        const int last = std::min(lastVariable, clamp.start + clamp.length - 1);
        for (int index = first; index <= last; ++index) {
            if (std::bit_cast<float>(variable(index)) > clamp.max)
                setVariable(index, std::bit_cast<quint32>(clamp.max));
        }
    }
}

void SimMachine::onKey(int code)
{
    m_panel.pressKey(code);
    log(QStringLiteral("key 0x%1").arg(code, 2, 16, QLatin1Char('0')));
    showPanel();
}

void SimMachine::onUploadWords(int firstVariable, int count)
{
    for (int i = 0; i < count; ++i) {
        const quint32 word = variable(firstVariable + i);
        if (word == 0) {
            finishUpload();
            return;
        }
        m_program.append(word);
    }
}

void SimMachine::finishUpload()
{
    m_uploading = false;
    QByteArray bytes;
    for (quint32 word : std::as_const(m_program)) {
        for (int b = 0; b < 4; ++b)
            bytes.append(static_cast<char>((word >> (8 * b)) & 0xFF));
    }
    // The last word of a file whose length is not a multiple of four is
    // padded with zero bytes; they are not part of the program.
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    QDir().mkpath(m_programsDir);
    const QString path =
        QDir(m_programsDir)
            .filePath(
                QStringLiteral("program-%1.cnc").arg(++m_programsStored, 3, 10, QLatin1Char('0')));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    log(QStringLiteral("program of %1 bytes stored in %2").arg(bytes.size()).arg(path));
    setVariable(UploadResult, m_options.uploadResult);
    setVariable(UploadState, 0);
}

void SimMachine::showPanel()
{
    const int lines[] = {PM::Line1, PM::Line2, PM::Line3, PM::Line4};
    for (int n = 0; n < 4; ++n) {
        const QString text = m_panel.line(n + 1);
        for (int k = 0; k < PM::LineChars; k += 2) {
            const quint32 low = PM::EncodeChar(text.at(k));
            const quint32 high = PM::EncodeChar(text.at(k + 1));
            const int reg = 2 * lines[n] + k / 2;
            setData(QModbusDataUnit::HoldingRegisters, static_cast<quint16>(reg),
                    static_cast<quint16>(low | (high << 8)));
        }
    }
    setVariable(PM::LampVariable, static_cast<quint32>(m_panel.lampWord()));
}

Result<void> SimMachine::loadState()
{
    if (m_options.stateFile.isEmpty())
        return {};
    QFile file(m_options.stateFile);
    if (!file.exists())
        return {};
    // Bounded: a device such as /dev/zero would be read for ever.
    constexpr qint64 MaxStateSize = 16 * 1024 * 1024;
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > MaxStateSize)
        return std::unexpected(
            QStringLiteral("%1 is not a state file (no regular file of at most 16 MiB)")
                .arg(m_options.stateFile));
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(
            QStringLiteral("%1: %2").arg(m_options.stateFile, file.errorString()));
    const QByteArray data = file.readAll();
    if (data.trimmed().isEmpty())
        return {};
    const QJsonValue variables =
        QJsonDocument::fromJson(data).object().value(QStringLiteral("variables"));
    if (!variables.isObject())
        return std::unexpected(
            QStringLiteral("%1 is not a state file (no \"variables\" object); it is kept as it is")
                .arg(m_options.stateFile));
    const QJsonObject vars = variables.toObject();
    for (auto it = vars.begin(); it != vars.end(); ++it) {
        bool ok = false;
        const int index = it.key().toInt(&ok);
        if (ok && index >= FirstParameterVariable && index < RegisterCount / 2)
            setVariable(index, static_cast<quint32>(it.value().toInteger()));
    }
    log(QStringLiteral("state loaded from %1").arg(m_options.stateFile));
    return {};
}

void SimMachine::saveState()
{
    QJsonObject vars;
    for (int i = FirstParameterVariable; i < RegisterCount / 2; ++i) {
        const quint32 value = variable(i);
        if (value != 0)
            vars.insert(QString::number(i), static_cast<qint64>(value));
    }
    QSaveFile file(m_options.stateFile);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("variables"), vars}}).toJson()) < 0 ||
        !file.commit())
        log(QStringLiteral("cannot save the state to %1: %2")
                .arg(m_options.stateFile, file.errorString()));
}
