#include "platform/LauncherPage.h"

#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <cstring>

namespace platform {
namespace {

// The page's frame, 429 x 298 dialog units of the designed font (1.5 pixels across, 1.625 down).
constexpr int kPageWidth = 643;
constexpr int kPageHeight = 484;

bool IsWebPageUri(const char* uri) {
    return uri && (g_str_has_prefix(uri, "http://") || g_str_has_prefix(uri, "https://"));
}

bool IsAttachment(WebKitURIResponse* response) {
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* disposition = headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
    return disposition && g_ascii_strncasecmp(disposition, "attachment", std::strlen("attachment")) == 0;
}

// Navigation only to web pages, no new windows, and only responses the view shows itself.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer) {
    bool allowed = false;
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        allowed = IsWebPageUri(webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
    } else if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        WebKitResponsePolicyDecision* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        allowed = webkit_response_policy_decision_is_mime_type_supported(response) &&
                  !IsAttachment(webkit_response_policy_decision_get_response(response));
    }
    if (allowed) {
        webkit_policy_decision_use(decision);
    } else {
        webkit_policy_decision_ignore(decision);
    }
    return TRUE;
}

// Whatever starts a download anyway is stopped before it has a place to write to.
void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) { webkit_download_cancel(download); }

// No error page: the frame stays as it was.
gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer) { return TRUE; }

}  // namespace

GtkWidget* MakeLauncherPage(const std::string& address) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    WebKitWebContext* context = webkit_web_context_get_default();
    g_signal_handlers_disconnect_by_func(context, reinterpret_cast<gpointer>(OnDownloadStarted), nullptr);
    g_signal_connect(context, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
    GtkWidget* page = webkit_web_view_new_with_context(context);
    g_signal_connect(page, "decide-policy", G_CALLBACK(OnDecidePolicy), nullptr);
    g_signal_connect(page, "load-failed", G_CALLBACK(OnLoadFailed), nullptr);
    gtk_widget_set_size_request(page, kPageWidth, kPageHeight);
    gtk_container_add(GTK_CONTAINER(frame), page);
    if (!address.empty()) webkit_web_view_load_uri(WEBKIT_WEB_VIEW(page), address.c_str());
    return frame;
}

}  // namespace platform
