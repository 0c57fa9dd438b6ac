#include "platform/WebPage.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ChildProgram.h"

namespace platform {

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool IsWebAddress(const std::string& address) {
    const size_t separator = address.find("://");
    if (separator == std::string::npos) return false;
    const std::string scheme = LowerAscii(address.substr(0, separator + 3));
    if (scheme != "http://" && scheme != "https://") return false;
    const auto printable = [](char c) { return static_cast<unsigned char>(c) > ' ' && c != 0x7F; };
    return address.size() > scheme.size() && std::all_of(address.begin(), address.end(), printable);
}

bool OpenWebPage(const std::string& address) {
    if (!IsWebAddress(address)) return false;
    const char* chosen = std::getenv("VX_WEB_OPENER");
    return StartChildProgram({chosen && *chosen ? chosen : "xdg-open", address});
}

}  // namespace platform
