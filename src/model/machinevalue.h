#pragma once

#include <QString>

#include <limits>

// What a machine variable can carry. Parameter values are held as doubles but
// travel as 32-bit floats; a float variable of a control unit may also hold a
// NaN or infinity pattern (unused places), and a backup file keeps such a
// value as null. Every place that takes a number for a machine (table entry,
// paste, file loader, version 5 import, writes) applies the one rule here.
namespace MachineValue {

// The value of a parameter that holds no number: read from a variable with a
// NaN or infinity pattern, or null in a backup file. It is shown empty and
// never written to a machine.
inline constexpr double NoNumber = std::numeric_limits<double>::quiet_NaN();

// True when the value, rounded to a 32-bit float, is a finite number: only
// such a value may be written to a machine or stored as a number.
bool fits(double value);
// A variable's float as a parameter value: the number, or NoNumber for a NaN
// or infinity pattern.
double fromMachine(float value);
// The shortest text that reads back as the same 32-bit float ("0.0003125",
// "1e-07"); empty for a value that does not fit. What an editor starts from
// and what copy puts on the clipboard, so that neither changes a value.
QString editText(double value);
// A double with every digit needed to tell it from its neighbours, for
// messages about numbers near the float limit.
QString exactText(double value);

} // namespace MachineValue
