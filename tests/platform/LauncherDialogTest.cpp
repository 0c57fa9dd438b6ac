// The launcher and Options dialogs on the test display, driven through their widgets.
#include "platform/LauncherDialog.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/OptionsDialog.h"
#include "support/CommaLocale.h"

namespace {

using platform::LauncherButton;
using platform::OptionsCheck;
using platform::OptionsList;
using platform::OptionsPreset;

// Every widget below a window, depth first.
void Collect(GtkWidget* widget, std::vector<GtkWidget*>& widgets) {
    widgets.push_back(widget);
    if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer data) { Collect(child, *static_cast<std::vector<GtkWidget*>*>(data)); },
            &widgets);
    }
}

// The widgets of the shown window with that title.
std::vector<GtkWidget*> WidgetsOf(const std::string& title) {
    std::vector<GtkWidget*> widgets;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        const char* windowTitle = gtk_window_get_title(window);
        if (windowTitle && title == windowTitle && gtk_widget_get_visible(GTK_WIDGET(window))) {
            Collect(GTK_WIDGET(window), widgets);
        }
    }
    g_list_free(windows);
    return widgets;
}

// The labels of the visible buttons that are not check boxes, in order.
std::vector<std::string> ButtonTexts(const std::vector<GtkWidget*>& widgets) {
    std::vector<std::string> texts;
    for (GtkWidget* widget : widgets) {
        if (GTK_IS_BUTTON(widget) && !GTK_IS_TOGGLE_BUTTON(widget) && gtk_widget_get_visible(widget)) {
            const char* label = gtk_button_get_label(GTK_BUTTON(widget));
            texts.push_back(label ? label : "");
        }
    }
    return texts;
}

GtkWidget* Find(const std::vector<GtkWidget*>& widgets, const std::string& label) {
    for (GtkWidget* widget : widgets) {
        if (GTK_IS_BUTTON(widget)) {
            const char* text = gtk_button_get_label(GTK_BUTTON(widget));
            if (text && label == text) return widget;
        }
    }
    return nullptr;
}

// The lists of the Options dialog, by the labels that name them, in the order of OptionsList.
std::vector<GtkWidget*> Lists(const std::vector<GtkWidget*>& widgets) {
    const char* const names[] = {"Screen Resolution", "Anisotropic Filtering", "Antialiasing", "Frequency", "Bitrate"};
    std::vector<GtkWidget*> lists;
    for (const char* name : names) {
        for (GtkWidget* widget : widgets) {
            if (GTK_IS_LABEL(widget) && std::string(gtk_label_get_text(GTK_LABEL(widget))) == name) {
                lists.push_back(gtk_label_get_mnemonic_widget(GTK_LABEL(widget)));
            }
        }
    }
    return lists;
}

// Runs an action once the dialog's own loop runs.
void WhenShown(std::function<void()> action) {
    auto* pending = new std::function<void()>(std::move(action));
    g_timeout_add(
        50,
        [](gpointer data) -> gboolean {
            auto* run = static_cast<std::function<void()>*>(data);
            (*run)();
            delete run;
            return G_SOURCE_REMOVE;
        },
        pending);
}

class RecordingHandler : public platform::LauncherHandler {
public:
    bool OnButton(LauncherButton button) override {
        clicked.push_back(button);
        return button != LauncherButton::Options;
    }
    std::vector<LauncherButton> clicked;
};

TEST(LauncherDialog, ShowsTheFourButtonsAndEndsWithTheOneThatStarts) {
    testsupport::CommaLocale comma;
    RecordingHandler handler;
    std::vector<std::string> texts;
    std::string page;
    WhenShown([&] {
        const std::vector<GtkWidget*> widgets = WidgetsOf("Vexmoor");
        texts = ButtonTexts(widgets);
        for (GtkWidget* widget : widgets) {
            if (WEBKIT_IS_WEB_VIEW(widget)) page = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(widget));
        }
        gtk_button_clicked(GTK_BUTTON(Find(widgets, "Options")));
        gtk_button_clicked(GTK_BUTTON(Find(widgets, "Start in windowed mode")));
    });
    std::string error;
    ASSERT_TRUE(platform::StartDialogs(error)) << error;
    // Nothing listens there: the frame stays empty, as without a network.
    const LauncherButton ended = platform::RunLauncherDialog("http://127.0.0.1:9/start", handler);
    EXPECT_EQ(texts, (std::vector<std::string>{"Start in fullscreen mode", "Start in windowed mode", "Options", "Exit"}));
    EXPECT_EQ(handler.clicked, (std::vector<LauncherButton>{LauncherButton::Options, LauncherButton::StartWindowed}));
    EXPECT_EQ(ended, LauncherButton::StartWindowed);
    EXPECT_EQ(page, "http://127.0.0.1:9/start");
    EXPECT_TRUE(WidgetsOf("Vexmoor").empty()) << "the launcher has gone";
    char number[16];
    std::snprintf(number, sizeof(number), "%.1f", 0.5);
    EXPECT_STREQ(number, "0.5") << "numbers keep their point after GTK's start";
}

TEST(LauncherDialog, ClosingTheWindowIsExit) {
    RecordingHandler handler;
    WhenShown([] {
        GList* windows = gtk_window_list_toplevels();
        for (GList* item = windows; item; item = item->next) gtk_window_close(GTK_WINDOW(item->data));
        g_list_free(windows);
    });
    std::string error;
    ASSERT_TRUE(platform::StartDialogs(error)) << error;
    EXPECT_EQ(platform::RunLauncherDialog("", handler), LauncherButton::Exit);
    EXPECT_TRUE(handler.clicked.empty());
}

// A form of two entries per list that records what the dialog asks of it.
class FakeForm : public platform::OptionsForm {
public:
    const std::vector<std::string>& Entries(OptionsList list) const override {
        return list == OptionsList::Antialiasing ? empty : entries;
    }
    int Selected(OptionsList list) const override {
        return list == OptionsList::Antialiasing ? -1 : selected[static_cast<size_t>(list)];
    }
    bool Enabled(OptionsList list) const override { return list != OptionsList::Antialiasing; }
    void Select(OptionsList list, int entry) override { selected[static_cast<size_t>(list)] = entry; }
    bool Checked(OptionsCheck box) const override { return checked[static_cast<size_t>(box)]; }
    bool Enabled(OptionsCheck box) const override { return box != OptionsCheck::Bloom; }
    void SetChecked(OptionsCheck box, bool on) override { checked[static_cast<size_t>(box)] = on; }
    void ApplyPreset(OptionsPreset preset) override {
        presets.push_back(preset);
        selected.fill(1);
    }
    void Accept() override { accepted = true; }

    std::vector<std::string> entries{"first", "second"};
    std::vector<std::string> empty;
    std::array<int, 5> selected{};
    std::array<bool, 3> checked{};
    std::vector<OptionsPreset> presets;
    bool accepted = false;
};

TEST(OptionsDialog, ShowsTheFormPassesChoicesOnAndAcceptsWithOk) {
    std::string error;
    ASSERT_TRUE(platform::StartDialogs(error)) << error;
    FakeForm form;
    std::vector<std::string> texts;
    std::vector<int> shown;
    std::vector<bool> sensitive;
    std::vector<int> afterPreset;
    WhenShown([&] {
        const std::vector<GtkWidget*> widgets = WidgetsOf("Options");
        texts = ButtonTexts(widgets);
        for (GtkWidget* list : Lists(widgets)) {
            shown.push_back(gtk_combo_box_get_active(GTK_COMBO_BOX(list)));
            sensitive.push_back(gtk_widget_get_sensitive(list));
        }
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Find(widgets, "Low Resolution Textures")), TRUE);
        EXPECT_FALSE(gtk_widget_get_sensitive(Find(widgets, "Bloom")));
        gtk_button_clicked(GTK_BUTTON(Find(widgets, "Quality")));
        for (GtkWidget* list : Lists(widgets)) afterPreset.push_back(gtk_combo_box_get_active(GTK_COMBO_BOX(list)));
        gtk_button_clicked(GTK_BUTTON(Find(widgets, "OK")));
    });
    EXPECT_EQ(platform::RunOptionsDialog(form), platform::OptionsResult::Ok);
    EXPECT_EQ(texts, (std::vector<std::string>{"Speed", "Balance", "Quality", "OK", "Cancel"}));
    EXPECT_EQ(shown, (std::vector<int>{0, 0, -1, 0, 0}));
    EXPECT_EQ(sensitive, (std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(afterPreset, (std::vector<int>{1, 1, -1, 1, 1}));
    EXPECT_EQ(form.presets, std::vector<OptionsPreset>{OptionsPreset::Quality});
    EXPECT_TRUE(form.checked[static_cast<size_t>(OptionsCheck::LowResolutionTextures)]);
    EXPECT_TRUE(form.accepted);
}

}  // namespace
