#include "model/techparameters.h"

#include "model/itemdefinition.h"

namespace {

using namespace MachineMasks;

// Rows 0 to 77; none has an upper version bound.
constexpr ItemDefinition definitions[] = {
    {"00 - Minimum speed [mm/min]", AllMachines, 6},           // 0
    {"01 - Maximum speed [mm/min]", AllMachines, 6},           // 1
    {"02 - Acceleration [mm/s²]", AllMachines, 6},             // 2
    {"03 - Manual speed [mm/min]", AllMachines, 6},            // 3
    {"04 - Fast manual speed [mm/min]", AllMachines, 6},       // 4
    {"05 - Home speed [mm/min]", AllMachines, 6},              // 5
    {"06 - Referencing speed 1 [mm/min]", AllMachines, 6},     // 6
    {"07 - Referencing speed 2 [mm/min]", AllMachines, 6},     // 7
    {"08 - Spindle factor", AllMachines, 6},                   // 8
    {"09 - SW limit Z+ [mm]", AllMachines, 6},                 // 9
    {"10 - SW limit Z- [mm]", AllMachines, 6},                 // 10
    {"11 - SW limit X+ [mm]", AllButZumB1, 6},                 // 11
    {"12 - SW limit X- [mm]", AllButZumB1, 6},                 // 12
    {"13 - SW limit Y+ [mm]", VrkD1E1, 6},                     // 13
    {"14 - SW limit Y- [mm]", VrkD1E1, 6},                     // 14
    {"15 - SW limit A+ [mm]", AllButZumB1, 6},                 // 15
    {"16 - SW limit A- [mm]", AllButZumB1, 6},                 // 16
    {"17 - Distance per step Z [mm/step]", AllMachines, 6},    // 17
    {"18 - Distance per step X [mm/step]", AllButZumB1, 6},    // 18
    {"19 - Distance per step Y [mm/step]", VrkD1E1, 6},        // 19
    {"20 - Distance per step A [mm/step]", AllButZumB1, 6},    // 20
    {"21 - Interpolation step [mm/step]", AllMachines, 6},     // 21
    {"22 - Reference point Z [mm]", AllMachines, 6},           // 22
    {"23 - Reference point X [mm]", AllButZumB1, 6},           // 23
    {"24 - Reference point Y [mm]", VrkD1E1, 6},               // 24
    {"25 - Reference point A [mm]", AllButZumB1, 6},           // 25
    {"26 - Grind pos point Y [mm]", VrkD1E1, 6},               // 26
    {"27 - Dresser Y position [mm]", VrkD1E1, 6},              // 27
    {"28 - SQ time-out [ms]", AllMachines, 6},                 // 28
    {"29 - Delta r. [mm]", AllButZumB1, 6},                    // 29
    {"30 - Setting speed [mm/min]", AllMachines, 6},           // 30
    {"31 - Max grinding wheel speed [rpm]", AllMachines, 6},   // 31
    {"32 - Oiling period [n]", AllButZumB1, 6},                // 32
    {"33 - IRC window [n]", AllMachines, 6},                   // 33
    {"34 - IRC maximum error [n]", AllMachines, 6},            // 34
    {"35 - Maximum cut [mm]", AllButZumB1, 6},                 // 35
    {"36 - Dresser Z position [mm]", AllButZumB1, 6},          // 36
    {"37 - Dresser X position [mm]", AllButZumB1, 6},          // 37
    {"38 - Dresser diameter [mm]", AllButZumB1, 6},            // 38
    {"39 - Dressing period [n]", AllButZumB1, 6},              // 39
    {"40 - Dressing feed [mm/min]", AllButZumB1, 6},           // 40
    {"41 - Dressing speed [m/s]", AllButZumB1, 6},             // 41
    {"42 - Dressing total [mm]", AllButZumB1, 6},              // 42
    {"43 - Dressing step [mm]", AllButZumB1, 6},               // 43
    {"44 - Stone diameter [mm]", AllButZumB1, 6},              // 44
    {"45 - Stone thickness [mm]", AllButZumB1, 6},             // 45
    {"46 - Stone fixAngleX [deg]", AllButZumB1, 6},            // 46
    {"47 - Stone tip in angle [deg]", AllButZumB1, 6},         // 47
    {"48 - Stone tip out angle [deg]", AllButZumB1, 6},        // 48
    {"49 - Stone tip radius [mm]", AllButZumB1, 6},            // 49
    {"50 - Stone limit diameter [mm]", AllButZumB1, 6},        // 50
    {"51 - Clamping time [ms]", AllMachines, 6},               // 51
    {"52 - Stone diameter change [mm]", AllButZumB1, 6},       // 52
    {"53 - Stone tip radius 2 [mm]", AllButZumB1, 6},          // 53
    {"54 - Safety A move [mm]", AllButZumB1, 6},               // 54
    {"55 - Release A move [mm]", AllButZumB1, 6},              // 55
    {"56 - Time before clamp [ms]", AllButZumB1, 6},           // 56
    {"57 - Saw feed speed [mm/min]", AllButZumB1, 6},          // 57
    {"58 - Tooth depth to A coefficient [k]", AllButZumB1, 6}, // 58
    {"59 - Delay after M3 [ms]", AllMachines, 6},              // 59
    {"60 - SW limit Xu+ [mm]", ZumB1Only, 6},                  // 60
    {"61 - SW limit Xu- [mm]", ZumB1Only, 6},                  // 61
    {"62 - SW limit Yu+ [mm]", ZumB1Only, 6},                  // 62
    {"63 - SW limit Yu- [mm]", ZumB1Only, 6},                  // 63
    {"64 - SW limit Xd+ [mm]", ZumB1Only, 6},                  // 64
    {"65 - SW limit Xd- [mm]", ZumB1Only, 6},                  // 65
    {"66 - SW limit Yd+ [mm]", ZumB1Only, 6},                  // 66
    {"67 - SW limit Yd- [mm]", ZumB1Only, 6},                  // 67
    {"68 - Distance per step Xu [mm/step]", ZumB1Only, 6},     // 68
    {"69 - Distance per step Yu [mm/step]", ZumB1Only, 6},     // 69
    {"70 - Distance per step Xd [mm/step]", ZumB1Only, 6},     // 70
    {"71 - Distance per step Yd [mm/step]", ZumB1Only, 6},     // 71
    {"72 - Reference point Xu [mm]", ZumB1Only, 6},            // 72
    {"73 - Reference point Yu [mm]", ZumB1Only, 6},            // 73
    {"74 - Reference point Xd [mm]", ZumB1Only, 6},            // 74
    {"75 - Reference point Yd [mm]", ZumB1Only, 6},            // 75
    {"76 - dX/Z100mm [mm]", AllButZumB1, 7},                   // 76
    {"77 - StoneTip R1R2 angle [deg]", AllButZumB1, 8},        // 77
};

constexpr qsizetype RowCount = 256;

} // namespace

TechParameters::TechParameters(QObject *parent) : ParameterList(parent)
{
    QList<ModelItem> items;
    for (const ItemDefinition &d : definitions)
        items.append(ModelItem(QString::fromUtf8(d.label), d.mask, d.minVersion, 0));
    // The control unit reserves the rest of the block.
    for (qsizetype n = items.size(); n < RowCount; ++n) {
        items.append(
            ModelItem(QStringLiteral("%1 - ").arg(n, 2, 10, QLatin1Char('0')) + tr("(unused)"),
                      ModelItem::Inactive));
    }
    setItems(items);
}

QString TechParameters::title() const
{
    return tr("Technological Parameters");
}
