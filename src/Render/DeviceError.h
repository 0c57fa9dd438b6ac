#pragma once
#include <string>

// The device error report: "DXError if <source> on line <line>" with the error's name and
// description, handed to the log.
void ReportDeviceError(const char* source, int line, const char* name, const std::string& description);
