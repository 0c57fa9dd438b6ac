#include "platform/LibraryMessages.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace platform {
namespace {

std::atomic<LibraryMessageReceiver> g_receiver{nullptr};
std::atomic<bool> g_openAlSoftRouted{false};

void Deliver(const std::string& line) {
    if (LibraryMessageReceiver receiver = g_receiver.load()) receiver(line);
}

// ALSA's error handler, with the layout of ALSA's own messages.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
using AlsaStrerror = const char* (*)(int error);
AlsaStrerror g_alsaStrerror = nullptr;

void OnAlsaError(const char* file, int line, const char* function, int error, const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    std::string message = std::string("ALSA lib ") + (file ? file : "?") + ":" + std::to_string(line) + ":(" +
                          (function ? function : "?") + ") " + text;
    if (error != 0) message += std::string(": ") + (g_alsaStrerror ? g_alsaStrerror(error) : std::strerror(-error));
    Deliver(message);
}

// The handler is ALSA's one per process: whoever loads the library later (OpenAL Soft, GStreamer)
// gets this same library and handler. Without ALSA there is nothing to route.
void RouteAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    using SetHandler = int (*)(AlsaErrorHandler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    g_alsaStrerror = reinterpret_cast<AlsaStrerror>(dlsym(alsa, "snd_strerror"));
    if (setHandler) setHandler(OnAlsaError);
}

// Delivers each line that arrives on the pipe, for as long as the program runs.
void ReadLines(int pipe) {
    std::string line;
    char buffer[512];
    for (;;) {
        const ssize_t count = read(pipe, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        for (ssize_t i = 0; i < count; ++i) {
            if (buffer[i] != '\n') {
                line += buffer[i];
                continue;
            }
            Deliver(line);
            line.clear();
        }
    }
}

// OpenAL Soft writes its log to the file ALSOFT_LOGFILE names: the writing end of a pipe whose
// lines a thread reads.
void RouteOpenAlSoft() {
    const char* chosen = std::getenv("ALSOFT_LOGFILE");
    if (chosen && *chosen) return;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    setenv("ALSOFT_LOGFILE", ("/proc/self/fd/" + std::to_string(ends[1])).c_str(), 1);
    g_openAlSoftRouted = true;
    std::thread(ReadLines, ends[0]).detach();
}

}  // namespace

void RouteLibraryMessages(LibraryMessageReceiver receiver) {
    g_receiver.store(receiver);
    static std::once_flag routed;
    std::call_once(routed, [] {
        RouteAlsa();
        RouteOpenAlSoft();
    });
}

std::vector<std::string> RoutedLibraryVariables() {
    if (g_openAlSoftRouted) return {"ALSOFT_LOGFILE"};
    return {};
}

}  // namespace platform
