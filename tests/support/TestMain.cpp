#include <gtest/gtest.h>

#include <cstdlib>

// Test programs, and the game they start, leave leak checking to the folders that ask for it
// (ASAN_OPTIONS set by CTest): the GL and D-Bus libraries under a window leak on their own.
extern "C" const char* __asan_default_options() { return "detect_leaks=0:abort_on_error=1"; }

// The main of every test executable. Tests run headless whoever starts them (ctest, the test
// command or a developer running one binary): sound goes to OpenAL Soft's null backend, GL to
// Mesa's software renderer, music to a GStreamer fake sink that keeps time, the sound of videos
// nowhere, and the game opens nothing at exit. The caller's own settings win.
int main(int argc, char** argv) {
    setenv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("VX_MUSIC_SINK", "fakesink sync=true", 0);
    setenv("VX_MEDIA_SILENT", "1", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("VX_NO_EXIT_ACTIONS", "1", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
