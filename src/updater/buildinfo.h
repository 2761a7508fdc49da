#pragma once

#include <QString>

// The program's identity as the build defines it: the project version, the
// build ID derived from it, and the default address of the update appcast.
namespace BuildInfo {

QString version();
QString buildId();
QString defaultAppcastUrl();

} // namespace BuildInfo
