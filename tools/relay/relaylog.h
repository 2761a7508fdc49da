#pragma once

#include <QString>

#include <cstdio>

// The relay's only output: one line per event on stderr.
inline void relayLog(const QString &text)
{
    std::fprintf(stderr, "vrk6-relay: %s\n", qPrintable(text));
    std::fflush(stderr);
}
