#pragma once

#include <QString>

// The simulated operator panel: what the four lines and the lamps show, and
// how keys change them.
class SimPanel
{
public:
    explicit SimPanel(const QString &machineLine);

    void pressKey(int code);
    QString line(int n) const; // 1..4, 20 characters each
    int lampWord() const;
    int keyCount() const { return m_keys; }

private:
    enum class Mode
    {
        Manual,
        StepByStep,
        Continual
    };

    QString m_machineLine;
    QString m_typed;
    int m_lastKey = -1;
    int m_keys = 0;
    bool m_run = false;
    bool m_error = false;
    Mode m_mode = Mode::Manual;
};
