#include "updater/buildinfo.h"

namespace BuildInfo {

QString version()
{
    return QStringLiteral(VRK6_VERSION);
}

QString buildId()
{
    return QStringLiteral(VRK6_BUILD_ID);
}

QString defaultAppcastUrl()
{
    return QStringLiteral(VRK6_APPCAST_URL);
}

} // namespace BuildInfo
