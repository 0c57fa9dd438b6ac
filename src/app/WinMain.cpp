#include "app/WinMain.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ExitActions.h"
#include "app/GameSeed.h"
#include "app/InputTapeSwitches.h"
#include "app/Launcher.h"
#include "app/SingleInstance.h"
#include "app/StartChoice.h"
#include "app/WebAddresses.h"
#include "app/WindowProc.h"
#include "platform/LauncherDialog.h"

int WinMain(int argc, const char* const* argv) {
    const SPCommandLine line = ParseCommandLine(argc, argv);
    if (!line.error.empty()) {
        std::fprintf(stderr, "vexmoor: %s\n%s", line.error.c_str(), CommandLineHelp().c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(CommandLineHelp().c_str(), stdout);
        return 0;
    }

    // A copy refused here must leave every file as it was, the recording named by VX_RECORD too.
    std::string error;
    if (!ClaimSingleInstance(error)) {
        std::fprintf(stderr, "vexmoor: %s\n", error.c_str());
        return 1;
    }
    CPInputTapeSwitches tape;
    unsigned int seed = 0;
    if (!tape.Read(error) || !SeedGame(tape.RecordedSeed(), seed, error)) {
        std::fprintf(stderr, "vexmoor: %s\n", error.c_str());
        return 2;
    }
    tape.Start(seed);

    int result = 1;
    bool gameRan = false;
    {
        auto application = std::make_unique<CPApplication>();
        application->Init();
        const bool start =
            line.startChosen ? ApplyStartChoice(line.fullScreen, error) : RunLauncher(error) == 1;
        if (start) {
            result = application->Run();
            gameRan = true;
            // The player started from the launcher: the reason shows on the desktop too.
            if (!line.startChosen && !application->StartFailure().empty()) {
                platform::ShowStartFailure(application->StartFailure());
            }
        } else if (error.empty()) {
            result = 0;  // the user chose Exit
        } else {
            std::fprintf(stderr, "vexmoor: %s\n", error.c_str());
        }
    }
    g_shutdown = true;
    if (!tape.FinishRecording(error)) {
        std::fprintf(stderr, "vexmoor: %s\n", error.c_str());
        result = 1;
    }
    RunExitActions(gameRan, g_exitAddress);
    return result;
}
