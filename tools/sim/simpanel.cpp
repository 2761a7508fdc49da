#include "simpanel.h"

#include "acpu/panelmap.h"

namespace {
constexpr int Width = Acpu::PanelMap::LineChars;

QString fit(const QString &text)
{
    return text.left(Width).leftJustified(Width, QLatin1Char(' '));
}
} // namespace

SimPanel::SimPanel(const QString &machineLine) : machineLine(fit(machineLine)) {}

void SimPanel::pressKey(int code)
{
    ++keys;
    lastKey = code;
    switch (code) {
    case 0x1B: // Escape
        typed.clear();
        break;
    case 0x08: // Shift+Delete: erase one
        typed.chop(1);
        break;
    case 0x81:
        run = !run;
        break;
    case 0x82:
        mode = Mode::StepByStep;
        break;
    case 0x83:
        mode = Mode::Continual;
        break;
    case 0x84:
        error = true;
        break;
    case 0x85:
        error = false;
        break;
    default:
        if (code >= 0x20 && code <= 0x7D) {
            typed.append(QChar(code));
            // Keep the most recent characters visible after the prompt.
            typed = typed.right(Width - 1);
        }
        break;
    }
}

QString SimPanel::line(int n) const
{
    switch (n) {
    case 1:
        return machineLine;
    case 2:
        return fit(QLatin1Char('>') + typed);
    case 3:
        if (lastKey < 0)
            return fit(QStringLiteral("No key yet"));
        return fit(
            QStringLiteral("Key %1 count %2").arg(lastKey, 2, 16, QLatin1Char('0')).arg(keys));
    case 4:
        switch (mode) {
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
    if (run)
        word |= Acpu::PanelMap::RunLedBit;
    if (error)
        word |= Acpu::PanelMap::ErrorLedBit;
    if (mode == Mode::StepByStep)
        word |= Acpu::PanelMap::Mode1LedBit;
    if (mode == Mode::Continual)
        word |= Acpu::PanelMap::Mode2LedBit;
    return word;
}
