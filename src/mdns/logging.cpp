#include "mdns/logging.h"

namespace Mdns {

Q_LOGGING_CATEGORY(lcMdns, "vrk6.mdns", QtWarningMsg)

} // namespace Mdns
