// The web addresses of data\links.txt and what the program opens when it ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "WorkingFolder.h"
#include "app/ExitActions.h"
#include "app/WebAddresses.h"
#include "core/PFileWriter.h"
#include "platform/PathResolver.h"

namespace {

struct LinksCase {
    const char* name;
    const char* links;  // null: no file
    const char* browser;
    const char* exit;
};

void PrintTo(const LinksCase& links, std::ostream* out) { *out << links.name; }

class WebAddressesTest : public ::testing::TestWithParam<LinksCase> {};

TEST_P(WebAddressesTest, ReadsTheFirstTokenOfEachLinePrefixedWithTheScheme) {
    apptest::WorkingFolder folder;
    if (const char* links = GetParam().links) {
        CPFileWriter writer("data\\links.txt", true);
        writer.Write(links, static_cast<int32_t>(std::string(links).size()));
        ASSERT_EQ(writer.Save(), 0);
        platform::InvalidateListings();
    }
    ReadWebAddresses();
    EXPECT_EQ(g_browserAddress, GetParam().browser);
    EXPECT_EQ(g_exitAddress, GetParam().exit);
}

INSTANTIATE_TEST_SUITE_P(
    Files, WebAddressesTest,
    ::testing::Values(
        LinksCase{"TwoLines", "example.com/start and more\r\nexample.com/bye\r\n", "http://example.com/start",
                  "http://example.com/bye"},
        // A line holding "//" is a comment: a written scheme hides the line.
        LinksCase{"SchemeMakesAComment", "http://example.com/start\r\nexample.com/bye\r\n", "http://example.com/bye",
                  "http://"},
        LinksCase{"OneLine", "example.com/start\r\n", "http://example.com/start", "http://"},
        LinksCase{"NoFile", nullptr, "http://", "http://"}),
    [](const ::testing::TestParamInfo<LinksCase>& info) { return info.param.name; });

struct ExitCase {
    const char* name;
    bool gameRan;
    const char* shortcut;  // the content of play.url
    const char* exitAddress;
    std::vector<std::string> expected;
};

void PrintTo(const ExitCase& exit, std::ostream* out) { *out << exit.name; }

class ExitActionsTest : public ::testing::TestWithParam<ExitCase> {};

// A sibling program and local files lie beside the shortcut; only web pages are ever opened.
TEST_P(ExitActionsTest, OpenOnlyWebPages) {
    apptest::WorkingFolder folder;
    folder.Write("Play.URL", GetParam().shortcut);
    folder.Write("fscommand/tessun.exe", "");
    folder.Write("readme.html", "");
    EXPECT_EQ(CollectExitActions(GetParam().gameRan, GetParam().exitAddress), GetParam().expected);
}

constexpr char kShortcut[] = "[InternetShortcut]\r\nURL=https://example.com/play\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitActionsTest,
    ::testing::Values(
        ExitCase{"AfterAGame", true, kShortcut, "http://example.com/bye",
                 {"https://example.com/play", "http://example.com/bye"}},
        ExitCase{"WithoutAGame", false, kShortcut, "http://example.com/bye", {"http://example.com/bye"}},
        ExitCase{"BareScheme", true, kShortcut, "http://", {"https://example.com/play"}},
        ExitCase{"EmptyAddress", false, kShortcut, "", {}},
        ExitCase{"KeyInAnyCase", true, "[InternetShortcut]\nurl=HTTP://example.com/x\n", "", {"HTTP://example.com/x"}},
        ExitCase{"ShortcutToAProgram", true, "[InternetShortcut]\r\nURL=fscommand\\tessun.exe\r\n", "", {}},
        ExitCase{"ShortcutToAFile", true, "[InternetShortcut]\r\nURL=file:///etc/passwd\r\n", "", {}},
        ExitCase{"ShortcutWithoutAddress", true, "[InternetShortcut]\r\n", "", {}},
        ExitCase{"AddressWithABlank", true, "URL=http://example.com/a b\r\n", "", {}}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST(ExitActionsTest, MissingFilesAreSkipped) {
    apptest::WorkingFolder folder;
    EXPECT_EQ(CollectExitActions(true, "http://"), std::vector<std::string>{});
}

// "0" reads as off, like an unset switch; any other value switches the exit actions off.
TEST(ExitActionsTest, OnlyAValueOtherThanZeroSwitchesThemOff) {
    const char* previous = std::getenv("VX_NO_EXIT_ACTIONS");
    const std::string kept = previous ? previous : "";
    const struct {
        const char* value;
        bool off;
    } cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}, {"00", true}};
    for (const auto& c : cases) {
        if (c.value) {
            setenv("VX_NO_EXIT_ACTIONS", c.value, 1);
        } else {
            unsetenv("VX_NO_EXIT_ACTIONS");
        }
        EXPECT_EQ(ExitActionsOff(), c.off) << (c.value ? c.value : "(not set)");
    }
    if (previous) {
        setenv("VX_NO_EXIT_ACTIONS", kept.c_str(), 1);
    } else {
        unsetenv("VX_NO_EXIT_ACTIONS");
    }
}

TEST(WebAddressTest, OnlyHttpAndHttpsPagesAreWebAddresses) {
    for (const char* address : {"http://example.com", "https://example.com/a?b=c", "HTTPS://x"}) {
        EXPECT_TRUE(IsWebAddress(address)) << address;
    }
    for (const char* address : {"", "http://", "https://", "file:///etc/passwd", "play.url", "fscommand\\tessun.exe",
                                "javascript:alert(1)", "ftp://example.com", "http://a\nb", " http://example.com"}) {
        EXPECT_FALSE(IsWebAddress(address)) << address;
    }
}

}  // namespace
