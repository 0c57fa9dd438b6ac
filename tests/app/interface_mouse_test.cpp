// The sample menu worked by real mouse and keyboard events (xdotool) on an X server of the test's
// own, as a player works it: the game's cursor starts at the top-left corner and moves by the
// mouse's relative motion; buttons show their looks and answer clicks; Up, Down and Enter choose
// and press. What the scripts hear is read from a log that both sample scripts write, and what
// the player sees from the window's pixels.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PrivateDisplay.h"
#include "ProgramRun.h"
#include "ScriptRecorder.h"
#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace {

using apptest::PrivateDisplay;
using apptest::ProgramRun;
using apptest::StartedProgram;

constexpr auto kPatience = std::chrono::seconds(20);
constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The sample menu on a 640 × 480 screen (its layout is centred on 1024 × 768).
struct Box {
    int left, top, right, bottom;
};
constexpr Box kPlay{200, 146, 440, 206};
constexpr Box kKeys{200, 226, 440, 286};
constexpr Box kQuit{200, 306, 440, 366};
constexpr Box kPanel{160, 56, 480, 376};
constexpr Box kBanner{200, 80, 440, 120};
// The key screen: the button of the action in row n (from 1) and the panel beside the rows.
constexpr Box Row(int n) { return {340, 60 + (n - 1) * 36, 580, 92 + (n - 1) * 36}; }
constexpr Box kBack{200, 394, 440, 438};
constexpr Box kBesideRows{70, 60, 330, 380};
// The looks of a button, inside it away from its label and border.
constexpr uint32_t kNormal = 0x203060, kHover = 0x3860B0, kPressed = 0x102040;
constexpr uint32_t kChoiceFrame = 0xFFD040;

bool Near(uint32_t pixel, uint32_t colour) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 10) {
            return false;
        }
    }
    return true;
}

std::string MouseMove(int x, int y) {
    char line[96];
    std::snprintf(line, sizeof(line), "main,mouse_move,%f,%f", static_cast<double>(static_cast<float>(x) / kWidth),
                  static_cast<double>(static_cast<float>(y) / kHeight));
    return line;
}

class InterfaceMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_display.Name().empty()) << "Xvfb did not start";
        apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        // What "main", "menu" and "keys" hear, and the texts the key screen shows.
        std::string error;
        ASSERT_TRUE(apptest::RecordScripts(m_folder, {"main", "menu", "keys"}, {"keys"}, error)) << error;
    }

    void Start() {
        ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"DISPLAY", m_display.Name()}, {"VX_LOG", "stderr"}};
        run.unsetEnvironment = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
        m_program = std::make_unique<StartedProgram>(run);
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!m_program->Ended() && std::chrono::steady_clock::now() < deadline && m_window.empty()) {
            const std::vector<std::string> windows = m_display.Windows("vexmoor");
            if (windows.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            else m_window = windows.front();
        }
        ASSERT_FALSE(m_window.empty()) << m_program->Wait().errors;
    }

    std::vector<std::string> Events() const { return apptest::RecordedLines(m_folder); }

    size_t HeardSoFar() const { return Events().size(); }

    // Waits for a line starting with the text among those heard from the index on.
    void Await(const std::string& start, size_t from) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> lines = Events();
            for (size_t k = from; k < lines.size(); ++k) {
                if (lines[k].rfind(start, 0) == 0) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "never heard " << start;
    }

    // Moves the mouse by the difference to (x, y) and waits until the game's cursor is there.
    void MoveTo(int x, int y) {
        const size_t from = HeardSoFar();
        m_display.Xdotool("mousemove_relative -- " + std::to_string(x - m_x) + " " + std::to_string(y - m_y));
        m_x = x;
        m_y = y;
        Await(MouseMove(x, y), from);
    }

    // A left click where the cursor is, pressed and released on separate frames (the input task
    // polls the buttons once a frame). The press is known to be seen once the window shows it
    // (pressedLook), else once the cursor has moved a pixel on; the frame of the release is over
    // once the cursor has moved twice more. What the scripts heard meanwhile.
    std::vector<std::string> Click(const std::function<bool()>& pressedLook = {}) {
        const size_t from = HeardSoFar();
        m_display.Xdotool("mousedown 1");
        if (pressedLook) {
            EXPECT_TRUE(pressedLook()) << "the pressed look";
        } else {
            MoveTo(m_x + 1, m_y);
        }
        m_display.Xdotool("mouseup 1");
        MoveTo(m_x + 1, m_y);
        MoveTo(m_x + 1, m_y);
        const std::vector<std::string> lines = Events();
        return {lines.begin() + static_cast<long>(from), lines.end()};
    }

    void PressTab() {
        const size_t from = HeardSoFar();
        m_display.Xdotool("key --window " + m_window + " Tab");
        Await("menu,add_object,", from);
    }

    // A key held on one frame and released on a later one, each awaited as the menu's action.
    void PressKey(const std::string& key, const std::string& action) {
        const size_t from = HeardSoFar();
        m_display.Xdotool("keydown --window " + m_window + " " + key);
        Await("menu,key_action," + action + ",1", from);
        m_display.Xdotool("keyup --window " + m_window + " " + key);
        Await("menu,key_action," + action + ",0", from);
    }

    // A key that sends nothing on its own, held until a frame has seen it, then released.
    void TapKey(const std::string& key) {
        m_display.Xdotool("keydown --window " + m_window + " " + key);
        MoveTo(m_x + 1, m_y);
        m_display.Xdotool("keyup --window " + m_window + " " + key);
    }

    std::string ActionsFile() const { return apptest::ReadBytes(m_folder.Path() / "Actions.cfg"); }

    // Waits until the window shows a pixel that passes the test; false when it never does.
    bool Shows(int x, int y, const std::function<bool(uint32_t)>& test) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            uint32_t colour = 0;
            if (m_display.ReadPixel(m_window, x, y, colour) && test(colour)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    bool ShowsLook(const Box& button, uint32_t look) const {
        return Shows(button.left + 20, button.top + 20, [look](uint32_t pixel) { return Near(pixel, look); });
    }

    PrivateDisplay m_display;
    apptest::WorkingFolder m_folder;
    std::unique_ptr<StartedProgram> m_program;
    std::string m_window;
    int m_x = 0, m_y = 0;  // where the game's cursor is
};

bool Names(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines) {
        if (line.rfind(start, 0) == 0) return true;
    }
    return false;
}

TEST_F(InterfaceMouseTest, TheSampleMenuWorksByMouseAndKeyboard) {
    Start();
    PressTab();
    EXPECT_TRUE(ShowsLook(kPlay, kNormal)) << "the menu opens with Play in its normal look";

    // From the corner by the motion: the game's cursor, a white arrow, lands there.
    MoveTo(20, 10);
    EXPECT_TRUE(Shows(m_x + 3, m_y + 10, [](uint32_t pixel) { return Near(pixel, 0xFFFFFF); })) << "the cursor";

    // The title's plate is a window: hovering it is heard by the category "interface".
    size_t from = HeardSoFar();
    MoveTo(kBanner.left + 10, kBanner.top + 5);
    Await("main,mouse_window_over,banner", from);
    from = HeardSoFar();
    MoveTo(kPlay.left + 50, kPlay.top + 30);
    Await("main,mouse_window_out,banner", from);
    EXPECT_TRUE(ShowsLook(kPlay, kHover));

    // The panel under the buttons is locked: a click on it is heard by no script.
    static_assert(kPanel.left + 10 < kKeys.left);
    MoveTo(kPanel.left + 10, kKeys.top + 20);
    EXPECT_TRUE(ShowsLook(kPlay, kNormal)) << "hovered no more";
    EXPECT_FALSE(Names(Click(), "menu,window"));

    // By keyboard: Down twice frames Quit, Up twice Play again.
    PressKey("Down", "backward");
    PressKey("Down", "backward");
    EXPECT_TRUE(Shows(kQuit.left + 1, kQuit.top + 30, [](uint32_t pixel) { return Near(pixel, kChoiceFrame); }))
        << "the frame marks Quit";
    PressKey("Up", "forward");
    PressKey("Up", "forward");
    EXPECT_TRUE(Shows(kPlay.left + 1, kPlay.top + 30, [](uint32_t pixel) { return Near(pixel, kChoiceFrame); }))
        << "the frame marks Play";

    // Play: pressed while held (and the mouse still), heard once on release; it closes the menu.
    MoveTo(kPlay.left + 50, kPlay.top + 30);
    const std::vector<std::string> clicked = Click([this] { return ShowsLook(kPlay, kPressed); });
    EXPECT_TRUE(Names(clicked, "menu,button,play"));
    EXPECT_TRUE(Names(clicked, "main,menu_closed"));
    EXPECT_TRUE(Shows(kPlay.left + 20, kPlay.top + 20, [](uint32_t pixel) {
        return !Near(pixel, kNormal) && !Near(pixel, kHover) && !Near(pixel, kPressed);
    })) << "the menu is gone";

    // Where Play was, the closed menu hears nothing.
    EXPECT_FALSE(Names(Click(), "menu,"));

    // Play started the game (its shop shows); Escape ends it.
    m_display.Xdotool("key --window " + m_window + " Escape");
    const apptest::ProgramResult result = m_program->Wait();
    EXPECT_EQ(result.exitCode, 0) << result.errors;

    int plays = 0;
    for (const std::string& line : Events()) plays += line == "menu,button,play" ? 1 : 0;
    EXPECT_EQ(plays, 1);
}

// Menu -> Keys: the key screen shows the sample bindings in the game's words; a row's button
// rebinds its action to the next key, left click or wheel notch, which works at once, and
// Actions.cfg is written; "Back" returns to the menu.
TEST_F(InterfaceMouseTest, TheKeyScreenShowsTheKeysAndRebindsThemToAKeyAClickAndTheWheel) {
    Start();
    PressTab();
    MoveTo(kKeys.left + 50, kKeys.top + 30);
    size_t from = HeardSoFar();
    Click();
    Await("keys,add_object,", from);
    for (const char* shown : {"text,label1,Accelerate", "text,key1,Up", "text,label5,Fire", "text,key5,Space",
                              "text,key8,Wheel up"}) {
        Await(shown, from);
    }

    // Fire: the row waits for a key, X is released, and X fires from then on.
    MoveTo(Row(5).left + 50, Row(5).top + 10);
    from = HeardSoFar();
    Click();
    Await("text,key5,Press a key", from);
    TapKey("x");
    Await("keys,key_assign,X", from);
    Await("text,key5,X", from);
    EXPECT_NE(ActionsFile().find("fire;Fire;X\r\n"), std::string::npos) << ActionsFile();
    PressKey("x", "fire");

    // Mines: a left click beside the rows (where no button takes it) binds the left button, which
    // drops mines at once: the same click, still held on the next frame, already does.
    MoveTo(Row(6).left + 50, Row(6).top + 10);
    from = HeardSoFar();
    Click();
    Await("text,key6,Press a key", from);
    MoveTo(kBesideRows.left + 20, kBesideRows.top + 100);
    m_display.Xdotool("mousedown 1");
    Await("keys,key_assign,mlb", from);
    Await("text,key6,Left button", from);
    Await("menu,key_action,mine,1", from);
    m_display.Xdotool("mouseup 1");
    Await("menu,key_action,mine,0", from);

    // Super weapon: a wheel notch forward; the next weapon, bound to it before, loses its key.
    MoveTo(Row(7).left + 50, Row(7).top + 10);
    from = HeardSoFar();
    Click();
    Await("text,key7,Press a key", from);
    MoveTo(kBesideRows.left + 20, kBesideRows.top + 100);
    m_display.Xdotool("click 4");
    Await("keys,key_assign,mwheel1", from);
    Await("text,key7,Wheel up", from);
    Await("text,key8,None", from);

    // Back to the menu, and Escape ends the game, which writes the bindings once more.
    MoveTo(kBack.left + 50, kBack.top + 20);
    from = HeardSoFar();
    Click();
    Await("main,keys_closed", from);
    Await("menu,add_object,", from);
    m_display.Xdotool("key --window " + m_window + " Escape");
    const apptest::ProgramResult result = m_program->Wait();
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    const std::string actions = ActionsFile();
    for (const char* line : {"fire;Fire;X\r\n", "mine;Drop a mine;mlb\r\n", "super;Super weapon;mwheel1\r\n",
                             "next_weapon;Next weapon;undefined\r\n", "forward;Accelerate;Up\r\n"}) {
        EXPECT_NE(actions.find(line), std::string::npos) << line << " in\n" << actions;
    }
    int assigned = 0;
    for (const std::string& line : Events()) assigned += line.rfind("keys,key_assign,", 0) == 0;
    EXPECT_EQ(assigned, 3) << "each once";
}

}  // namespace
