#include "acpu/panelmap.h"

namespace Acpu::PanelMap {

namespace {
// The display controller's ROM shows arrows here, not tilde and DEL.
constexpr char16_t RightArrow = 0x2192;
constexpr char16_t LeftArrow = 0x2190;
constexpr char16_t KatakanaOffset = 0xFEC0;
} // namespace

QChar DecodeByte(quint8 byte)
{
    if (byte >= 0x20 && byte <= 0x7D)
        return QChar(byte);
    if (byte == 0x7E)
        return QChar(RightArrow);
    if (byte == 0x7F)
        return QChar(LeftArrow);
    if (byte >= 0xA1 && byte <= 0xDF)
        return QChar(static_cast<char16_t>(byte + KatakanaOffset));
    return QChar(u' ');
}

quint8 EncodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x20 && u <= 0x7D)
        return static_cast<quint8>(u);
    if (u == RightArrow)
        return 0x7E;
    if (u == LeftArrow)
        return 0x7F;
    if (u >= 0xFF61 && u <= 0xFF9F)
        return static_cast<quint8>(u - KatakanaOffset);
    return 0x20;
}

} // namespace Acpu::PanelMap
