#include "platform/Locale.h"

#include <clocale>

namespace platform {

void KeepNumericLocaleC() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace platform
