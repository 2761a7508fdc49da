#pragma once

#include "model/modelversion.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The definition of one row or column of a parameter table: on which machines
// and from which data-model version it exists.
class ModelItem
{
    Q_DECLARE_TR_FUNCTIONS(ModelItem)
public:
    enum State
    {
        Inactive = 0,
        MachineMismatch = 1,
        Active = 2,
        Disabled = 3
    };
    using AltLabels = QList<std::pair<MachineMask, QString>>;

    ModelItem(const QString &label, MachineMask mask, uint minVersion, uint maxVersion)
        : m_label(label), m_mask(mask), m_minVersion(minVersion), m_maxVersion(maxVersion)
    {
    }
    ModelItem(const QString &label, const AltLabels &altLabels, MachineMask mask, uint minVersion,
              uint maxVersion)
        : m_label(label), m_altLabels(altLabels), m_mask(mask), m_minVersion(minVersion),
          m_maxVersion(maxVersion)
    {
    }
    ModelItem(const QString &label, State fixedState) : m_label(label), m_fixedState(fixedState) {}

    State state(const ModelVersion &version) const;
    QString label(const ModelVersion &version) const;
    QString label() const { return m_label; }
    const AltLabels &altLabels() const { return m_altLabels; }
    MachineMask machineMask() const { return m_mask; }
    uint minVersion() const { return m_minVersion; }
    uint maxVersion() const { return m_maxVersion; }
    std::optional<State> fixedState() const { return m_fixedState; }

    static QString stateName(State state);

private:
    QString m_label;
    AltLabels m_altLabels;
    MachineMask m_mask = 0;
    uint m_minVersion = 0;
    uint m_maxVersion = 0;
    std::optional<State> m_fixedState;
};
