#include "backup/backuplog.h"

Q_LOGGING_CATEGORY(lcBackup, "vrk6.backup", QtWarningMsg)
