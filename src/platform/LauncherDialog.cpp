#include "platform/LauncherDialog.h"

#include <gtk/gtk.h>

#include <array>

#include "platform/GtkLauncherWindow.h"
#include "platform/LauncherPage.h"
#include "platform/Locale.h"

namespace platform {
namespace {

constexpr char kTitle[] = "Vexmoor";
constexpr int kMargin = 10;
constexpr int kSpacing = 8;

struct Button {
    LauncherButton button;
    const char* text;
};
constexpr std::array<Button, 4> kButtons{{{LauncherButton::StartFullScreen, "Start in fullscreen mode"},
                                          {LauncherButton::StartWindowed, "Start in windowed mode"},
                                          {LauncherButton::Options, "Options"},
                                          {LauncherButton::Exit, "Exit"}}};

GtkWindow* g_launcherWindow = nullptr;

// One run of the launcher.
struct Session {
    LauncherHandler* handler = nullptr;
    GMainLoop* loop = nullptr;
    LauncherButton ended = LauncherButton::Exit;
    bool done = false;

    void End(LauncherButton button) {
        if (done) return;
        ended = button;
        done = true;
        g_main_loop_quit(loop);
    }
};

struct ButtonBinding {
    Session* session;
    LauncherButton button;
};

void OnClicked(GtkButton*, gpointer data) {
    const ButtonBinding& binding = *static_cast<ButtonBinding*>(data);
    Session& session = *binding.session;
    if (!session.done && session.handler->OnButton(binding.button)) session.End(binding.button);
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<Session*>(data)->End(LauncherButton::Exit);
    return TRUE;  // the window goes when the run ends
}

// The four buttons side by side, equally wide.
GtkWidget* MakeButtons(std::array<ButtonBinding, 4>& bindings) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    for (size_t i = 0; i < kButtons.size(); ++i) {
        GtkWidget* button = gtk_button_new_with_label(kButtons[i].text);
        g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), &bindings[i]);
        gtk_box_pack_start(GTK_BOX(row), button, TRUE, TRUE, 0);
    }
    return row;
}

GtkWidget* MakeWindow(const std::string& address, Session& session, std::array<ButtonBinding, 4>& bindings) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), kTitle);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &session);

    GtkWidget* border = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(border), GTK_SHADOW_OUT);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_set_border_width(GTK_CONTAINER(box), kMargin);
    gtk_box_pack_start(GTK_BOX(box), MakeLauncherPage(address), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), MakeButtons(bindings), FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(border), box);
    gtk_container_add(GTK_CONTAINER(window), border);
    return window;
}

}  // namespace

bool StartDialogs(std::string& error) {
    g_set_prgname("vexmoor");
    const bool started = gtk_init_check(nullptr, nullptr);
    KeepNumericLocaleC();
    if (!started) error = "no display can be opened (neither DISPLAY nor WAYLAND_DISPLAY names a usable one)";
    return started;
}

GtkWindow* LauncherWindow() { return g_launcherWindow; }

LauncherButton RunLauncherDialog(const std::string& pageAddress, LauncherHandler& handler) {
    Session session;
    session.handler = &handler;
    session.loop = g_main_loop_new(nullptr, FALSE);
    std::array<ButtonBinding, 4> bindings;
    for (size_t i = 0; i < kButtons.size(); ++i) bindings[i] = {&session, kButtons[i].button};

    GtkWidget* window = MakeWindow(pageAddress, session, bindings);
    g_launcherWindow = GTK_WINDOW(window);
    gtk_widget_show_all(window);
    KeepNumericLocaleC();
    g_main_loop_run(session.loop);
    if (const std::string failure = handler.Failure(); !failure.empty()) ShowStartFailure(failure);

    g_launcherWindow = nullptr;
    gtk_widget_destroy(window);
    gdk_display_sync(gdk_display_get_default());  // the window has left the screen
    g_main_loop_unref(session.loop);
    KeepNumericLocaleC();
    return session.ended;
}

void ShowStartFailure(const std::string& text) {
    GtkWidget* dialog = gtk_message_dialog_new(g_launcherWindow, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK,
                                               "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), kTitle);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    gdk_display_sync(gdk_display_get_default());
    KeepNumericLocaleC();
}

}  // namespace platform
