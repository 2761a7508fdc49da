#pragma once

#include "model/machinetype.h"

#include <QMetaType>
#include <QString>

// Machine type plus data-model version: selects which parameter definitions
// apply. Validity takes no part in comparison.
class ModelVersion
{
public:
    ModelVersion() = default;
    ModelVersion(MachineType type, uint version) : m_type(type), m_version(version), m_valid(true)
    {
    }

    MachineType type() const { return m_type; }
    uint version() const { return m_version; }
    bool isValid() const { return m_valid; }
    QString toString() const;

    bool operator==(const ModelVersion &other) const
    {
        return m_type == other.m_type && m_version == other.m_version;
    }
    bool operator!=(const ModelVersion &other) const { return !(*this == other); }

private:
    MachineType m_type = Unknown;
    uint m_version = 0;
    bool m_valid = false;
};

Q_DECLARE_METATYPE(ModelVersion)
