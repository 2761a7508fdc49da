#include "model/machine.h"

#include "acpu/panelmap.h"

namespace {
constexpr int BnVariable = 258;
constexpr int FamilyVariable = 262;
constexpr int ModelVariable = 264;
constexpr int SerialVariable = 265;
constexpr int SoftwareVariable = 266;
constexpr int DataModelVariable = 268;
constexpr int ReservedVariable = 269;
constexpr uint MinimumSoftware = 600;
} // namespace

Machine::Machine(Acpu::Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
}

Acpu::Connection::Result Machine::requestIdentification()
{
    return m_connection->Read(
        {Acpu::VarRange{Acpu::PanelMap::IdentFirst, Acpu::PanelMap::IdentLength}});
}

bool Machine::updateIdentification()
{
    auto read = [this](int index) { return static_cast<uint>(m_connection->ReadInt(index)); };
    const uint software = read(SoftwareVariable);
    if (software < MinimumSoftware)
        return false;
    m_softwareVersion = software;
    m_serialNumber = read(SerialVariable);
    m_bnNumber = read(BnVariable);
    const uint family = read(FamilyVariable);
    const uint model = read(ModelVariable);
    const uint version = read(DataModelVariable);
    Q_UNUSED(read(ReservedVariable));
    m_modelVersion =
        ModelVersion(MachineDescription::machineTypeFromIdentification(family, model), version);
    return true;
}

QString Machine::typeTitle() const
{
    return MachineDescription::machineTypeTitle(machineType());
}

QString Machine::identText() const
{
    if (m_serialNumber != 0)
        return tr("S/N: %1").arg(m_serialNumber);
    return QStringLiteral("B/N: %1-%2")
        .arg(m_bnNumber / 1000, 3, 10, QLatin1Char('0'))
        .arg(m_bnNumber % 1000, 3, 10, QLatin1Char('0'));
}

QString Machine::softwareText() const
{
    return tr("SW: %1").arg(m_softwareVersion / 100.0, 0, 'f', 2);
}
