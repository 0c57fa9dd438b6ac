#pragma once
#include "support/WorkingFolder.h"

namespace apptest {
using testsupport::CopyGameFolder;
using testsupport::ReadBytes;
using testsupport::WorkingFolder;
}  // namespace apptest
