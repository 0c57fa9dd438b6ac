#pragma once
#include <string>

// The name of the lock that lets one copy of the program run (see platform::InstanceLock).
constexpr char kSingleInstanceName[] = "VXLauncher_started";

// Takes the single-instance lock for the rest of the process. False, with the reason in
// error, when another copy holds it. When no lock file can be made at all, the copy runs.
bool ClaimSingleInstance(std::string& error);
