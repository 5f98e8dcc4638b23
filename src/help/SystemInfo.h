#pragma once

// Starts the operating system's system-information tool for the About box. One file
// per platform; where there is no such tool, start() simply fails and the About box
// tells the user.
namespace SystemInfo {

// Starts the tool without waiting for it. Returns whether it was started.
bool start();

} // namespace SystemInfo
