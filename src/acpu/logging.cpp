#include "acpu/logging.h"

namespace Acpu {

Q_LOGGING_CATEGORY(lcModbus, "vrk6.acpu.modbus", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWs, "vrk6.acpu.ws", QtWarningMsg)

} // namespace Acpu
