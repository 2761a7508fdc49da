#pragma once

#include <QLoggingCategory>

// Machine jobs: backup reads, restores and program uploads.
Q_DECLARE_LOGGING_CATEGORY(lcBackup)
