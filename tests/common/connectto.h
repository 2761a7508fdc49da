#pragma once

#include "acpu/connection.h"

#include <QTest>

// Points the connection at host and waits until it is connected.
inline bool ConnectTo(Acpu::Connection &c, const QString &host, int timeoutMs = 10000)
{
    c.SetHost(host);
    return QTest::qWaitFor([&c] { return c.State() == Acpu::Connection::Connected; }, timeoutMs);
}
