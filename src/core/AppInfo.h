#pragma once

// Names shared by the program and its tools.
namespace AppInfo {

// Where the settings live below the user's settings root.
inline constexpr char settingsPath[] = "software\\kerravane";
inline constexpr char installDirSetting[] = "instaldir";
inline constexpr char firstTimeSetting[] = "firsttime";
// The user's data folder, when it is not the installation's own data folder.
inline constexpr char dataDirSetting[] = "datadir";
// The sizes the user gave the windows that can be resized, "WIDTHxHEIGHT".
inline constexpr char reviewSizeSetting[] = "reviewsize";
inline constexpr char mostUsedSizeSetting[] = "mostusedsize";
inline constexpr char mainSizeSetting[] = "mainsize";
// What Suggest Words makes chains of: "pictures", "images2" or "images3".
inline constexpr char chainStyleSetting[] = "chainstyle";

} // namespace AppInfo
