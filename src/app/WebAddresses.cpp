#include "app/WebAddresses.h"

#include "core/PFile.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/TextHelpers.h"
#include "platform/WebPage.h"

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

bool IsWebAddress(const std::string& address) { return platform::IsWebAddress(address); }
