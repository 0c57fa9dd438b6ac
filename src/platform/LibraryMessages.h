#pragma once
#include <string>
#include <vector>

namespace platform {

// Receives one message line (without its line end) that a library would have printed.
using LibraryMessageReceiver = void (*)(const std::string& line);

// Sends what the sound libraries print on their own (ALSA's errors, which OpenAL Soft and
// GStreamer's ALSA output raise, and OpenAL Soft's log) to the receiver instead of the standard
// error stream; a later call replaces the receiver. Call it before the sound device first opens:
// OpenAL Soft chooses where its log goes then. ALSOFT_LOGFILE, when the user set it, is left as it
// is. OpenAL Soft's lines arrive from a thread of their own.
void RouteLibraryMessages(LibraryMessageReceiver receiver);

// The environment variables the routing set for this process's libraries (ALSOFT_LOGFILE names
// a descriptor of this process): programs it starts must not get them.
std::vector<std::string> RoutedLibraryVariables();

}  // namespace platform
