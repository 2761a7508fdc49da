#pragma once

#include <QLoggingCategory>

namespace Mdns {

// Diagnostics of discovery; off below warning unless QT_LOGGING_RULES
// switches it on.
Q_DECLARE_LOGGING_CATEGORY(lcMdns)

} // namespace Mdns
