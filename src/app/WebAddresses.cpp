#include "app/WebAddresses.h"

#include <algorithm>

#include "core/PFile.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/TextHelpers.h"

namespace {

const std::string kScheme = "http://";

// The address on the reader's next line.
std::string ReadAddress(CPTextReader& reader) {
    std::string line;
    std::string token;
    if (reader.ReadLine(line)) CPTokenizer(line, " ", true).NextToken(token);
    return kScheme + token;
}

}  // namespace

std::string g_browserAddress;
std::string g_exitAddress;

void ReadWebAddresses() {
    CPFile file("data\\links.txt", true);
    if (file.Load() < 0) {
        g_browserAddress = g_exitAddress = kScheme;
        return;
    }
    CPTextReader reader(file.GetData(), file.GetSize());
    g_browserAddress = ReadAddress(reader);
    g_exitAddress = ReadAddress(reader);
}

bool IsWebAddress(const std::string& address) {
    const size_t separator = address.find("://");
    if (separator == std::string::npos) return false;
    std::string scheme = address.substr(0, separator + 3);
    StrToLower(scheme);
    if (scheme != "http://" && scheme != "https://") return false;
    const auto printable = [](char c) { return static_cast<unsigned char>(c) > ' ' && c != 0x7F; };
    return address.size() > scheme.size() && std::all_of(address.begin(), address.end(), printable);
}
