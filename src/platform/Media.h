#pragma once
#include <string>

namespace platform {

// Starts GStreamer (music and video) once per process; later calls report the first call's
// result. Every call leaves LC_NUMERIC at "C". False with a reason in error when GStreamer
// cannot start.
bool InitMedia(std::string& error);

}  // namespace platform
