#include "simpanel.h"

#include "acpu/panelmap.h"

namespace {
constexpr int Width = Acpu::PanelMap::LineChars;

QString fit(const QString &text)
{
    return text.left(Width).leftJustified(Width, QLatin1Char(' '));
}
} // namespace

SimPanel::SimPanel(const QString &machineLine) : m_machineLine(fit(machineLine)) {}

void SimPanel::pressKey(int code)
{
    ++m_keys;
    m_lastKey = code;
    switch (code) {
    case 0x1B: // Escape
        m_typed.clear();
        break;
    case 0x08: // Shift+Delete: erase one
        m_typed.chop(1);
        break;
    case 0x81:
        m_run = !m_run;
        break;
    case 0x82:
        m_mode = Mode::StepByStep;
        break;
    case 0x83:
        m_mode = Mode::Continual;
        break;
    case 0x84:
        m_error = true;
        break;
    case 0x85:
        m_error = false;
        break;
    default:
        if (code >= 0x20 && code <= 0x7D) {
            m_typed.append(QChar(code));
            // Keep the most recent characters visible after the prompt.
            m_typed = m_typed.right(Width - 1);
        }
        break;
    }
}

QString SimPanel::line(int n) const
{
    switch (n) {
    case 1:
        return m_machineLine;
    case 2:
        return fit(QLatin1Char('>') + m_typed);
    case 3:
        if (m_lastKey < 0)
            return fit(QStringLiteral("No key yet"));
        return fit(
            QStringLiteral("Key %1 count %2").arg(m_lastKey, 2, 16, QLatin1Char('0')).arg(m_keys));
    case 4:
        switch (m_mode) {
        case Mode::Manual:
            return fit(QStringLiteral("Mode: manual"));
        case Mode::StepByStep:
            return fit(QStringLiteral("Mode: step by step"));
        case Mode::Continual:
            return fit(QStringLiteral("Mode: continual"));
        }
    }
    return QString(Width, QLatin1Char(' '));
}

int SimPanel::lampWord() const
{
    int word = 0;
    if (m_run)
        word |= Acpu::PanelMap::RunLedBit;
    if (m_error)
        word |= Acpu::PanelMap::ErrorLedBit;
    if (m_mode == Mode::StepByStep)
        word |= Acpu::PanelMap::Mode1LedBit;
    if (m_mode == Mode::Continual)
        word |= Acpu::PanelMap::Mode2LedBit;
    return word;
}
