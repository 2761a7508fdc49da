#pragma once

#include "acpu/connection.h"

#include <QList>
#include <QString>

// Runs a request to its end: its error text (empty on success), or a text
// saying why it never ended properly (not connected, no finish, two finishes).
// Progress figures are appended to *progress when given.
QString RunToEnd(Acpu::Connection::Result result, QList<int> *progress = nullptr,
                 int timeoutMs = 20000);
