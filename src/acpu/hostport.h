#pragma once

#include "core/result.h"

#include <QString>

namespace Acpu {

// A machine address as the user types it: "10.0.0.5", "10.0.0.5:1502",
// "fe80::1", "[fe80::1]:1502", "m1.local".
struct HostPort
{
    QString host; // without brackets
    quint16 port = 0;
    bool isIpv6() const;
    // The host in the form a URL authority needs: IPv6 addresses bracketed.
    QString urlHost() const;
};

// Fails on an empty host, a bad port or unbalanced brackets.
Result<HostPort> ParseHostPort(const QString &text, quint16 defaultPort);

} // namespace Acpu
