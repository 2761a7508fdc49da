#include "model/machinetype.h"

#include <QCoreApplication>

#include <array>

namespace MachineDescription {

namespace {
struct TypeInfo
{
    const char *name;
    const char *title;
};

constexpr std::array<TypeInfo, MachineTypeCount> Types{{
    {"Unknown", QT_TRANSLATE_NOOP("MachineDescription", "Unknown")},
    {"InOutTest", "Test IN-OUT"},
    {"VrkA1", "VRK-A1"},
    {"VrkB1", "VRK-B1"},
    {"VrkA2", "VRK-A2"},
    {"VrkB2", "VRK-B2"},
    {"VrkA3", "VRK-A3"},
    {"VrkC1", "VRK-C1"},
    {"ZumB1", "ZUM-B1"},
    {"VrkD1", "VRK-D1"},
    {"VrkE1", "VRK-E1"},
}};
} // namespace

QString machineTypeName(MachineType type)
{
    return type < MachineTypeCount ? QString::fromLatin1(Types[type].name) : QString();
}

MachineType machineTypeFromName(const QString &name)
{
    for (unsigned i = 0; i < MachineTypeCount; ++i) {
        if (name.compare(QLatin1String(Types[i].name), Qt::CaseInsensitive) == 0)
            return static_cast<MachineType>(i);
    }
    return Unknown;
}

QString machineTypeTitle(MachineType type)
{
    if (type == Unknown)
        return QCoreApplication::translate("MachineDescription", Types[Unknown].title);
    return type < MachineTypeCount ? QString::fromLatin1(Types[type].title) : QString();
}

MachineType machineTypeFromIdentification(uint family, uint model)
{
    switch (family) {
    case 1:
        if (model <= 6)
            return model == 0 ? InOutTest : static_cast<MachineType>(VrkA1 + model - 1);
        break;
    case 3:
        if (model == 0)
            return InOutTest;
        if (model == 1)
            return ZumB1;
        break;
    case 4:
        if (model == 0)
            return InOutTest;
        if (model == 1)
            return VrkD1;
        if (model == 2)
            return VrkE1;
        break;
    default:
        break;
    }
    return Unknown;
}

} // namespace MachineDescription
