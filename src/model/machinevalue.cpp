#include "model/machinevalue.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace MachineValue {

bool fits(double value)
{
    // The conversion rounds to nearest: a double a little above the largest
    // float still becomes that float, one further becomes infinity.
    return std::isfinite(static_cast<float>(value));
}

double fromMachine(float value)
{
    return std::isfinite(value) ? double(value) : NoNumber;
}

QString editText(double value)
{
    if (!fits(value))
        return {};
    char text[32];
    // Without a precision, to_chars gives the shortest text that parses back
    // to the same float, always with a point as separator.
    const auto end = std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr;
    return QString::fromLatin1(text, end - text);
}

QString exactText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace MachineValue
