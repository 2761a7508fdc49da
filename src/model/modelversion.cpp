#include "model/modelversion.h"

QString ModelVersion::toString() const
{
    return QStringLiteral("%1 (v. %2)")
        .arg(MachineDescription::machineTypeTitle(m_type))
        .arg(m_version);
}
