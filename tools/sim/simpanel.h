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
    int keyCount() const { return keys; }

private:
    enum class Mode
    {
        Manual,
        StepByStep,
        Continual
    };

    QString machineLine;
    QString typed;
    int lastKey = -1;
    int keys = 0;
    bool run = false;
    bool error = false;
    Mode mode = Mode::Manual;
};
