#pragma once

#include "acpu/connection.h"

#include <QList>
#include <QString>

// Runs a request to its end: its error text (empty on success) or why it never
// ended properly (not connected, no finish, two finishes); progress to *progress.
QString RunToEnd(Acpu::Connection::Result result, QList<int> *progress = nullptr,
                 int timeoutMs = 20000);
