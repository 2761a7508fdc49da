#pragma once

#include <QLoggingCategory>

// Update check and download: requests, redirects, refusals and failures.
Q_DECLARE_LOGGING_CATEGORY(lcUpdater)
