#include "Render/DeviceError.h"

#include "core/PLog.h"

void ReportDeviceError(const char* source, int line, const char* name, const std::string& description)
{
    GetLog()->Print(0, "DXError if %s on line %d\n%s\n%s\n", source, line, name, description.c_str());
}
