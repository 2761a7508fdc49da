#pragma once

#include <QLoggingCategory>

namespace Acpu {

// Diagnostics of the two network transports; off below warning unless
// QT_LOGGING_RULES switches them on.
Q_DECLARE_LOGGING_CATEGORY(lcModbus)
Q_DECLARE_LOGGING_CATEGORY(lcWs)

} // namespace Acpu
