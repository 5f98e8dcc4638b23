#pragma once

// Names shared by the program and its tools.
namespace AppInfo {

// Where the settings live below the user's settings root.
inline constexpr char settingsPath[] = "software\\kerravane";
inline constexpr char installDirSetting[] = "instaldir";
inline constexpr char firstTimeSetting[] = "firsttime";

} // namespace AppInfo
