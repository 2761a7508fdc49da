#pragma once

#include "acpu/varrange.h"

#include <QChar>

namespace Acpu {

// Where the control unit keeps its panel, key input and identification, and
// how the panel's character bytes read.
namespace PanelMap {

constexpr int IdentFirst = 256;
constexpr int IdentLength = 14;
constexpr int KeyVariable = 736; // followed by the key flag, 737
constexpr int KeyFlagVariable = 737;
constexpr int LampVariable = 800;
constexpr int Line1 = 4096;
constexpr int Line2 = 4101;
constexpr int Line3 = 4106;
constexpr int Line4 = 4111;
constexpr int LineVariables = 5;
constexpr int LineChars = 20;

constexpr int RunLedBit = 0x80;
constexpr int ErrorLedBit = 0x40;
constexpr int Mode1LedBit = 0x20;
constexpr int Mode2LedBit = 0x10;

inline VarRanges DisplayRanges()
{
    return {{Line1, LineVariables},
            {Line2, LineVariables},
            {Line3, LineVariables},
            {Line4, LineVariables}};
}

// The display's character set: ASCII, the JIS X 0201 half-width katakana,
// and its two arrow symbols at 0x7E and 0x7F; anything else is blank.
QChar DecodeByte(quint8 byte);
// The inverse, for the simulator: characters it cannot show become spaces.
quint8 EncodeChar(QChar c);

} // namespace PanelMap
} // namespace Acpu
