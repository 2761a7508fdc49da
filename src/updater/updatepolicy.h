#pragma once

#include <QLatin1StringView>
#include <QString>

#include <chrono>

class QUrl;

// What the update check and download accept from the network and how the
// downloaded file is named.
namespace UpdatePolicy {

inline constexpr int MaxRedirects = 5;
inline constexpr qint64 MaxAppcastSize = qint64(1) << 20;
inline constexpr qint64 MaxDownloadSize = qint64(2) << 30;
// A transfer that receives no byte for this long ends with an error.
inline constexpr std::chrono::milliseconds StallTimeout = std::chrono::seconds(30);
// The update information is small: a server that trickles it (a byte now and
// then keeps a transfer from stalling) must not hold the check open for good.
inline constexpr std::chrono::milliseconds CheckTimeout = std::chrono::seconds(60);
inline constexpr QLatin1StringView FallbackFileName{"QSU_Update.bin"};

// HTTPS anywhere; plain HTTP only to this computer (loopback).
bool isAllowedAddress(const QUrl &url);
// An allowed address that is not less safe than the one redirected from:
// HTTPS never leads to plain HTTP.
bool isAllowedRedirect(const QUrl &from, const QUrl &to);
// A plain file name of one directory: not empty, ".", "..", nor with
// separators, NUL, control or reserved characters, nor too long.
bool isSafeFileName(const QString &name);
// The file name for a download address: its last path segment, decoded
// once; FallbackFileName when that is not a safe file name.
QString safeFileName(const QUrl &url);

} // namespace UpdatePolicy
