#include "platform/OptionsDialog.h"

#include <gtk/gtk.h>

#include <array>

#include "platform/GtkLauncherWindow.h"

namespace platform {
namespace {

constexpr int kMargin = 8;
constexpr int kSpacing = 6;

// The dialog's widgets over the form.
struct View {
    OptionsForm* form = nullptr;
    std::array<GtkWidget*, 5> lists{};   // by OptionsList
    std::array<GtkWidget*, 3> checks{};  // by OptionsCheck
    bool refreshing = false;
};

constexpr char kIndexKey[] = "vx-index";

int IndexOf(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kIndexKey)); }

void Refresh(View& view) {
    view.refreshing = true;
    for (size_t i = 0; i < view.lists.size(); ++i) {
        const auto list = static_cast<OptionsList>(i);
        gtk_combo_box_set_active(GTK_COMBO_BOX(view.lists[i]), view.form->Selected(list));
        gtk_widget_set_sensitive(view.lists[i], view.form->Enabled(list));
    }
    for (size_t i = 0; i < view.checks.size(); ++i) {
        const auto box = static_cast<OptionsCheck>(i);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.checks[i]), view.form->Checked(box));
        gtk_widget_set_sensitive(view.checks[i], view.form->Enabled(box));
    }
    view.refreshing = false;
}

void OnListChanged(GtkComboBox* combo, gpointer data) {
    View& view = *static_cast<View*>(data);
    if (view.refreshing) return;
    view.form->Select(static_cast<OptionsList>(IndexOf(combo)), gtk_combo_box_get_active(combo));
    Refresh(view);
}

void OnToggled(GtkToggleButton* check, gpointer data) {
    View& view = *static_cast<View*>(data);
    if (view.refreshing) return;
    view.form->SetChecked(static_cast<OptionsCheck>(IndexOf(check)), gtk_toggle_button_get_active(check));
    Refresh(view);
}

void OnPreset(GtkButton* button, gpointer data) {
    View& view = *static_cast<View*>(data);
    view.form->ApplyPreset(static_cast<OptionsPreset>(IndexOf(button)));
    Refresh(view);
}

GtkWidget* Group(const char* title, GtkWidget* content) {
    GtkWidget* frame = gtk_frame_new(title);
    gtk_container_set_border_width(GTK_CONTAINER(content), kMargin);
    gtk_container_add(GTK_CONTAINER(frame), content);
    return frame;
}

GtkWidget* Grid() {
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), kSpacing);
    gtk_grid_set_column_spacing(GTK_GRID(grid), kSpacing);
    return grid;
}

GtkWidget* MakeList(View& view, OptionsList list) {
    GtkWidget* combo = gtk_combo_box_text_new();
    for (const std::string& entry : view.form->Entries(list)) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), entry.c_str());
    }
    g_object_set_data(G_OBJECT(combo), kIndexKey, GINT_TO_POINTER(static_cast<int>(list)));
    g_signal_connect(combo, "changed", G_CALLBACK(OnListChanged), &view);
    gtk_widget_set_hexpand(combo, TRUE);
    view.lists[static_cast<size_t>(list)] = combo;
    return combo;
}

GtkWidget* MakeCheck(View& view, OptionsCheck box, const char* text) {
    GtkWidget* check = gtk_check_button_new_with_label(text);
    g_object_set_data(G_OBJECT(check), kIndexKey, GINT_TO_POINTER(static_cast<int>(box)));
    g_signal_connect(check, "toggled", G_CALLBACK(OnToggled), &view);
    view.checks[static_cast<size_t>(box)] = check;
    return check;
}

// A label and its list on one row of a grid; the label names the list (for accessibility).
void AddRow(GtkWidget* grid, int row, const char* text, GtkWidget* list) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), list);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_grid_attach(GTK_GRID(grid), label, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), list, 1, row, 1, 1);
}

GtkWidget* MakePresets(View& view) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    const std::array<std::pair<OptionsPreset, const char*>, 3> presets{
        {{OptionsPreset::Speed, "Speed"}, {OptionsPreset::Balance, "Balance"}, {OptionsPreset::Quality, "Quality"}}};
    for (const auto& [preset, text] : presets) {
        GtkWidget* button = gtk_button_new_with_label(text);
        g_object_set_data(G_OBJECT(button), kIndexKey, GINT_TO_POINTER(static_cast<int>(preset)));
        g_signal_connect(button, "clicked", G_CALLBACK(OnPreset), &view);
        gtk_box_pack_start(GTK_BOX(row), button, TRUE, TRUE, 0);
    }
    return Group("Simple Settings", row);
}

GtkWidget* MakeVideo(View& view) {
    GtkWidget* effects = Grid();
    gtk_grid_attach(GTK_GRID(effects), MakeCheck(view, OptionsCheck::Bloom, "Bloom"), 0, 0, 2, 1);
    AddRow(effects, 1, "Antialiasing", MakeList(view, OptionsList::Antialiasing));

    GtkWidget* optimization = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_box_pack_start(GTK_BOX(optimization),
                       MakeCheck(view, OptionsCheck::LowResolutionTextures, "Low Resolution Textures"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(optimization),
                       MakeCheck(view, OptionsCheck::CompressedTextures, "Compressed Textures (DXT5)"), FALSE, FALSE, 0);

    GtkWidget* video = Grid();
    AddRow(video, 0, "Screen Resolution", MakeList(view, OptionsList::Resolution));
    AddRow(video, 1, "Anisotropic Filtering", MakeList(view, OptionsList::Anisotropy));
    gtk_grid_attach(GTK_GRID(video), Group("Special Effects", effects), 0, 2, 2, 1);
    gtk_grid_attach(GTK_GRID(video), Group("Optimization", optimization), 0, 3, 2, 1);
    return Group("Video", video);
}

GtkWidget* MakeAudio(View& view) {
    GtkWidget* audio = Grid();
    AddRow(audio, 0, "Frequency", MakeList(view, OptionsList::Frequency));
    AddRow(audio, 1, "Bitrate", MakeList(view, OptionsList::Bitrate));
    GtkWidget* group = Group("Audio", audio);
    gtk_widget_set_valign(group, GTK_ALIGN_START);
    return group;
}

GtkWidget* MakeContent(View& view) {
    GtkWidget* advanced = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    gtk_box_pack_start(GTK_BOX(advanced), MakeVideo(view), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(advanced), MakeAudio(view), TRUE, TRUE, 0);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_set_border_width(GTK_CONTAINER(content), kMargin);
    gtk_box_pack_start(GTK_BOX(content), MakePresets(view), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), Group("Advanced Settings", advanced), TRUE, TRUE, 0);
    return content;
}

}  // namespace

OptionsResult RunOptionsDialog(OptionsForm& form) {
    View view;
    view.form = &form;
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Options", LauncherWindow(), static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        "OK", static_cast<int>(OptionsResult::Ok), "Cancel", static_cast<int>(OptionsResult::Cancel), nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), static_cast<int>(OptionsResult::Ok));
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_box_pack_start(GTK_BOX(area), MakeContent(view), TRUE, TRUE, 0);
    Refresh(view);
    gtk_widget_show_all(dialog);

    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    OptionsResult result = OptionsResult::Closed;
    if (response == static_cast<int>(OptionsResult::Ok)) {
        form.Accept();
        result = OptionsResult::Ok;
    } else if (response == static_cast<int>(OptionsResult::Cancel)) {
        result = OptionsResult::Cancel;
    }
    gtk_widget_destroy(dialog);
    return result;
}

}  // namespace platform
