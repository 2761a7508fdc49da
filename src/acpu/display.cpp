#include "acpu/display.h"

namespace Acpu {

namespace {
template <typename T, typename Signal>
void Store(Display *self, T &member, const T &value, Signal signal)
{
    if (member == value)
        return;
    member = value;
    emit(self->*signal)(value);
}
} // namespace

void Display::setLine1(const QString &value)
{
    Store(this, m_line1, value, &Display::line1Changed);
}
void Display::setLine2(const QString &value)
{
    Store(this, m_line2, value, &Display::line2Changed);
}
void Display::setLine3(const QString &value)
{
    Store(this, m_line3, value, &Display::line3Changed);
}
void Display::setLine4(const QString &value)
{
    Store(this, m_line4, value, &Display::line4Changed);
}
void Display::setErrorLed(bool value)
{
    Store(this, m_errorLed, value, &Display::errorLedChanged);
}
void Display::setRunLed(bool value)
{
    Store(this, m_runLed, value, &Display::runLedChanged);
}
void Display::setMode1Led(bool value)
{
    Store(this, m_mode1Led, value, &Display::mode1LedChanged);
}
void Display::setMode2Led(bool value)
{
    Store(this, m_mode2Led, value, &Display::mode2LedChanged);
}

void Display::Assign(const Display &other)
{
    setLine1(other.m_line1);
    setLine2(other.m_line2);
    setLine3(other.m_line3);
    setLine4(other.m_line4);
    setRunLed(other.m_runLed);
    setErrorLed(other.m_errorLed);
    setMode1Led(other.m_mode1Led);
    setMode2Led(other.m_mode2Led);
}

} // namespace Acpu
