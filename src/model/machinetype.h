#pragma once

#include <QString>

// The machine types; the values are bit positions in machine masks and must
// never change.
enum MachineType : unsigned
{
    Unknown = 0,
    InOutTest = 1,
    VrkA1 = 2,
    VrkB1 = 3,
    VrkA2 = 4,
    VrkB2 = 5,
    VrkA3 = 6,
    VrkC1 = 7,
    ZumB1 = 8,
    VrkD1 = 9,
    VrkE1 = 10,
};

constexpr unsigned MachineTypeCount = 11;

// A set of machine types, bit (1 << type) each.
using MachineMask = quint32;

namespace MachineMasks {
constexpr MachineMask AllMachines = 0x7FC;
constexpr MachineMask AllButZumB1 = 0x6FC;
constexpr MachineMask ZumB1Only = 0x100;
constexpr MachineMask VrkD1E1 = 0x600;
// The types a user may pick by hand.
constexpr MachineMask Selectable = AllMachines;
} // namespace MachineMasks

constexpr MachineMask machineBit(MachineType type)
{
    return type < 32 ? MachineMask(1) << type : 0;
}

namespace MachineDescription {
QString machineTypeName(MachineType type);
MachineType machineTypeFromName(const QString &name);
QString machineTypeTitle(MachineType type);
MachineType machineTypeFromIdentification(uint family, uint model);
} // namespace MachineDescription
