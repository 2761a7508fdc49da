#pragma once

#include <QLatin1StringView>

// Every key of the program's persistent settings, in one place so that the
// windows that write a key and the commands that remove it agree.
namespace SettingsKeys {

inline constexpr QLatin1StringView Hostnames{"hostnames"};
inline constexpr QLatin1StringView MainWindow{"MainWindow"};
inline constexpr QLatin1StringView Geometry{"geometry"};
inline constexpr QLatin1StringView State{"state"};
inline constexpr QLatin1StringView FileViewer{"FileViewer"};
inline constexpr QLatin1StringView HostnameDialog{"HostnameDialog"};
// One group per editor under this prefix: "Parameters/<editor key>".
inline constexpr QLatin1StringView Parameters{"Parameters"};
inline constexpr QLatin1StringView MdiMode{"mdiMode"};
// Reserved for the trajectory drawing window.
inline constexpr QLatin1StringView TrajectDraw{"TrajectDraw"};
// Address of the update appcast, over the build's default.
inline constexpr QLatin1StringView UpdateFeed{"UpdateFeed"};

inline QString parametersGroup(const QString &editorKey)
{
    return Parameters + QLatin1Char('/') + editorKey;
}

} // namespace SettingsKeys
