#pragma once

class RecallHistory;

// Where the windows find the recall history: one object, made on first use and fed
// with the remembered numbers whenever their list changes. It reads the desired
// retention from the settings.
namespace RecallHub {

RecallHistory *history();

// The "retention" setting, or the default when it is missing or out of range.
double savedRetention();
void saveRetention(double retention);

} // namespace RecallHub
