#include "updater/updaterlog.h"

Q_LOGGING_CATEGORY(lcUpdater, "vrk6.updater", QtWarningMsg)
