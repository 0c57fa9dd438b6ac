// The key bindings of Actions.cfg: the built-in defaults stand in for a file that cannot be
// used, and an empty list is never written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "Input/NInput.h"
#include "WorkingFolder.h"
#include "core/Result.h"
#include "platform/PathResolver.h"

namespace {

struct Binding {
    std::string action, label, key;
    bool operator==(const Binding&) const = default;
};

std::vector<Binding> Bindings(const CNInput& input) {
    std::vector<Binding> bindings;
    for (const std::string& action : input.GetActionList()) {
        const CNActionBinding& binding = input.GetActionMap().at(action);
        bindings.push_back({action, binding.label, binding.keyName});
    }
    return bindings;
}

std::vector<Binding> ShippedBindings() {
    TPtr<CNInput> shipped(new CNInput);
    EXPECT_GE(shipped->LoadActions(std::string(VX_SAMPLE_DATA) + "/Actions.cfg"), 0);
    return Bindings(*shipped);
}

struct UnusableFile {
    const char* name;
    std::function<void(const apptest::WorkingFolder&)> make;
};

void PrintTo(const UnusableFile& file, std::ostream* out) { *out << file.name; }

class DefaultBindingsTest : public ::testing::TestWithParam<UnusableFile> {};

TEST_P(DefaultBindingsTest, StartUsesTheBuiltInBindingsWhichAreTheShippedOnes) {
    const std::vector<Binding> shipped = ShippedBindings();
    ASSERT_FALSE(shipped.empty());
    apptest::WorkingFolder folder;
    GetParam().make(folder);

    TPtr<CNInput> input(new CNInput);
    ASSERT_TRUE(input->Start());
    EXPECT_EQ(Bindings(*input), shipped);
    EXPECT_EQ(input->GetKeyBinding(0x39).actionName, "fire") << "the keyboard records follow the bindings";
}

INSTANTIATE_TEST_SUITE_P(
    Files, DefaultBindingsTest,
    ::testing::Values(
        UnusableFile{"Missing", [](const apptest::WorkingFolder&) {}},
        UnusableFile{"AFolder",
                     [](const apptest::WorkingFolder& folder) {
                         std::filesystem::create_directory(folder.Path() / "Actions.cfg");
                         platform::InvalidateListings();
                     }},
        UnusableFile{"Empty", [](const apptest::WorkingFolder& folder) { folder.Write("Actions.cfg", ""); }},
        UnusableFile{"OnlyComments",
                     [](const apptest::WorkingFolder& folder) { folder.Write("actions.cfg", "// fire;Fire;Space\r\n"); }}),
    [](const ::testing::TestParamInfo<UnusableFile>& info) { return info.param.name; });

TEST(BindingsTest, AFileThatBindsSomethingReplacesTheDefaults) {
    apptest::WorkingFolder folder;
    folder.Write("actions.cfg", "jump;Jump;Q\r\n");
    TPtr<CNInput> input(new CNInput);
    ASSERT_TRUE(input->Start());
    EXPECT_EQ(Bindings(*input), (std::vector<Binding>{{"jump", "Jump", "Q"}}));
    EXPECT_EQ(input->GetKeyBinding(0x10).actionName, "jump");
    EXPECT_FALSE(input->GetKeyBinding(0x39).bound);
}

TEST(BindingsTest, AnEmptyListIsNeverWritten) {
    apptest::WorkingFolder folder;
    folder.Write("Actions.cfg", "jump;Jump;Q\r\n");
    TPtr<CNInput> input(new CNInput);
    EXPECT_EQ(input->WriteActions("Actions.cfg"), E_FAIL);
    EXPECT_EQ(apptest::ReadBytes(folder.Path() / "Actions.cfg"), "jump;Jump;Q\r\n");
}

}  // namespace
