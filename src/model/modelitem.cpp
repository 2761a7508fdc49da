#include "model/modelitem.h"

ModelItem::State ModelItem::state(const ModelVersion &version) const
{
    if (m_fixedState)
        return *m_fixedState;
    if (m_minVersion == 0)
        return Inactive;
    if (!(m_mask & machineBit(version.type())))
        return MachineMismatch;
    const uint v = version.version();
    if (m_minVersion <= v && (m_maxVersion == 0 || v <= m_maxVersion))
        return Active;
    return Inactive;
}

QString ModelItem::label(const ModelVersion &version) const
{
    for (const auto &[mask, text] : m_altLabels) {
        if (mask & machineBit(version.type()))
            return text;
    }
    return m_label;
}

QString ModelItem::stateName(State state)
{
    switch (state) {
    case Inactive:
        return tr("Inactive");
    case MachineMismatch:
        return tr("Machine mismatch");
    case Active:
        return tr("Active");
    default:
        return tr("Disabled");
    }
}
