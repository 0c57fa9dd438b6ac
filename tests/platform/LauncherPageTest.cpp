// The launcher's web page against a page served on the loopback interface that tries to save a
// file, open a window and leave the web.
#include <arpa/inet.h>
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/LauncherDialog.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::LauncherButton;

// The page's script, step by step: a new window, a download, a local file, then a last page.
constexpr char kStartPage[] =
    "<html><body>start<script>"
    "window.open('/popup');"
    "setTimeout(function () { location.href = '/download'; }, 200);"
    "setTimeout(function () { location.href = 'file:///etc/hostname'; }, 1200);"
    "setTimeout(function () { location.href = '/end'; }, 2200);"
    "</script></body></html>";

// A small HTTP server on 127.0.0.1 that records the paths asked for.
class LoopbackServer {
public:
    LoopbackServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(listener_, 8);
        socklen_t length = sizeof(address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }

    std::string Address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    bool Asked(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& asked : paths_) {
            if (asked == path) return true;
        }
        return false;
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (poll(&waiting, 1, 50) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            Answer(client);
            close(client);
        }
    }

    void Answer(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) return;
            request.append(buffer, static_cast<size_t>(got));
        }
        const size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            paths_.push_back(path);
        }
        std::string headers = "Content-Type: text/html\r\n";
        std::string body = path == "/start" ? kStartPage : "<html><body>" + path + "</body></html>";
        if (path == "/download") {
            headers = "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"payload.sh\"\r\n";
            body = "#!/bin/sh\necho planted\n";
        }
        const std::string response = "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
                                     "\r\nConnection: close\r\n\r\n" + body;
        send(client, response.data(), response.size(), MSG_NOSIGNAL);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> paths_;
};

class ExitOnly : public platform::LauncherHandler {
public:
    bool OnButton(LauncherButton) override { return true; }
};

WebKitWebView* TheWebView() {
    WebKitWebView* view = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item && !view; item = item->next) {
        std::vector<GtkWidget*> pending{GTK_WIDGET(item->data)};
        while (!pending.empty() && !view) {
            GtkWidget* widget = pending.back();
            pending.pop_back();
            if (WEBKIT_IS_WEB_VIEW(widget)) view = WEBKIT_WEB_VIEW(widget);
            if (GTK_IS_CONTAINER(widget)) {
                GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
                for (GList* child = children; child; child = child->next) pending.push_back(GTK_WIDGET(child->data));
                g_list_free(children);
            }
        }
    }
    g_list_free(windows);
    return view;
}

bool AnyFileNamed(const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename() == name) return true;
    }
    return false;
}

// Every page the launcher's view commits and every load that fails, from the view's creation on
// (emission hooks see the signals before and whatever the view's own handlers do with them).
struct LoadRecord {
    LoadRecord() {
        g_type_class_ref(WEBKIT_TYPE_WEB_VIEW);
        changed = g_signal_lookup("load-changed", WEBKIT_TYPE_WEB_VIEW);
        failed = g_signal_lookup("load-failed", WEBKIT_TYPE_WEB_VIEW);
        changedHook = g_signal_add_emission_hook(changed, 0, OnChanged, this, nullptr);
        failedHook = g_signal_add_emission_hook(failed, 0, OnFailed, this, nullptr);
    }
    ~LoadRecord() {
        g_signal_remove_emission_hook(changed, changedHook);
        g_signal_remove_emission_hook(failed, failedHook);
    }

    static gboolean OnChanged(GSignalInvocationHint*, guint, const GValue* values, gpointer data) {
        if (g_value_get_enum(&values[1]) == WEBKIT_LOAD_COMMITTED) {
            const char* uri = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(g_value_get_object(&values[0])));
            static_cast<LoadRecord*>(data)->committed.push_back(uri ? uri : "");
        }
        return TRUE;
    }
    static gboolean OnFailed(GSignalInvocationHint*, guint, const GValue*, gpointer data) {
        LoadRecord& record = *static_cast<LoadRecord*>(data);
        if (record.failedAt == std::chrono::steady_clock::time_point{}) {
            record.failedAt = std::chrono::steady_clock::now();
            record.committedBeforeFailure = record.committed.size();
        }
        return TRUE;
    }

    guint changed = 0, failed = 0;
    gulong changedHook = 0, failedHook = 0;
    std::vector<std::string> committed;
    std::chrono::steady_clock::time_point failedAt{};
    size_t committedBeforeFailure = 0;
};

void CloseEveryWindow() {
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) gtk_window_close(GTK_WINDOW(item->data));
    g_list_free(windows);
}

// Calls check every 100 ms of the launcher's loop until it returns true or 20 s have passed,
// then closes the launcher.
void CloseWhen(std::function<bool()> check) {
    struct Pending {
        std::function<bool()> check;
        std::chrono::steady_clock::time_point deadline;
    };
    auto* pending = new Pending{std::move(check), std::chrono::steady_clock::now() + std::chrono::seconds(20)};
    g_timeout_add(
        100,
        [](gpointer data) -> gboolean {
            auto* pending = static_cast<Pending*>(data);
            if (!pending->check() && std::chrono::steady_clock::now() < pending->deadline) return G_SOURCE_CONTINUE;
            CloseEveryWindow();
            delete pending;
            return G_SOURCE_REMOVE;
        },
        pending);
}

std::string ViewUri() {
    WebKitWebView* view = TheWebView();
    const char* uri = view ? webkit_web_view_get_uri(view) : nullptr;
    return uri ? uri : "";
}

TEST(LauncherPage, RefusesDownloadsNewWindowsAndNonWebAddresses) {
    testsupport::TempDir home;
    setenv("HOME", home.Path().c_str(), 1);
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOWNLOAD_DIR"}) {
        setenv(variable, home.Path().c_str(), 1);
    }
    LoopbackServer server;
    std::string error;
    ASSERT_TRUE(platform::StartDialogs(error)) << error;
    LoadRecord record;
    std::string last;
    CloseWhen([&] {
        last = ViewUri();
        return server.Asked("/end") && last.ends_with("/end");
    });
    ExitOnly handler;
    EXPECT_EQ(platform::RunLauncherDialog(server.Address("/start"), handler), LauncherButton::Exit);

    EXPECT_EQ(last, server.Address("/end")) << "the page's script ran to its end";
    EXPECT_TRUE(server.Asked("/download")) << "the download was offered";
    EXPECT_FALSE(server.Asked("/popup")) << "no new window";
    EXPECT_FALSE(AnyFileNamed(home.Path(), "payload.sh")) << "nothing saved";
    EXPECT_FALSE(record.committed.empty());
    for (const std::string& uri : record.committed) EXPECT_TRUE(uri.starts_with("http://127.0.0.1:")) << uri;
}

// Nothing listens at the address: the frame stays empty instead of showing an error page.
// A loopback port that nothing listens on (one that was free a moment ago).
int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

TEST(LauncherPage, AnUnreachablePageLeavesTheFrameEmpty) {
    std::string error;
    ASSERT_TRUE(platform::StartDialogs(error)) << error;
    LoadRecord record;
    // A second after the failure an error page would have been committed.
    CloseWhen([&] {
        return record.failedAt != std::chrono::steady_clock::time_point{} &&
               std::chrono::steady_clock::now() - record.failedAt > std::chrono::seconds(1);
    });
    ExitOnly handler;
    platform::RunLauncherDialog("http://127.0.0.1:" + std::to_string(FreePort()) + "/start", handler);
    ASSERT_NE(record.failedAt, std::chrono::steady_clock::time_point{}) << "the load failed";
    EXPECT_EQ(record.committed.size(), record.committedBeforeFailure) << "no error page was shown";
}

}  // namespace
