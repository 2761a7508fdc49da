#pragma once

#include <QtGlobal>

#include <cmath>

// One value of a parameter group: what the user sees, what the machine (or a
// file) last held, and whether an edit is pending.
class ParameterValue
{
public:
    ParameterValue() = default;

    double value() const { return m_value; }
    double storedValue() const { return m_storedValue; }
    bool isModified() const { return m_modified; }

    // An edit. A fuzzy-equal entry, or one that gives the same 32-bit float
    // (what the machine would get), is no edit; a NaN is always replaced.
    // The comparison is with the current value: typing the stored value back
    // still counts as an edit until accepted or reverted.
    void setValue(double v)
    {
        if (!std::isnan(m_value) &&
            (qFuzzyCompare(v, m_value) || static_cast<float>(v) == static_cast<float>(m_value)))
            return;
        m_value = v;
        m_modified = true;
    }
    // A value as the machine or a file holds it: clean.
    void reset(double v)
    {
        m_value = m_storedValue = v;
        m_modified = false;
    }
    void accept()
    {
        m_storedValue = m_value;
        m_modified = false;
    }
    void revert()
    {
        m_value = m_storedValue;
        m_modified = false;
    }

private:
    double m_value = 0.0;
    double m_storedValue = 0.0;
    bool m_modified = false;
};
