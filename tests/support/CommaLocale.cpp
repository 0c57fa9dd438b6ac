#include "support/CommaLocale.h"

#include <clocale>
#include <cstdlib>

namespace testsupport {
namespace {

constexpr const char* kCandidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                                       "ru_RU.UTF-8", "ru_RU.utf8", "de_DE", "fr_FR", "ru_RU"};

bool UsesDecimalComma() {
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->decimal_point && conventions->decimal_point[0] == ',';
}

}  // namespace

CommaLocale::CommaLocale() {
    previousLocale_ = std::setlocale(LC_ALL, nullptr);
    for (const char* candidate : kCandidates) {
        if (std::setlocale(LC_ALL, candidate) && UsesDecimalComma()) {
            name_ = candidate;
            break;
        }
    }
    if (name_.empty()) {
        std::setlocale(LC_ALL, previousLocale_.c_str());
        return;
    }
    if (const char* value = std::getenv("LC_ALL")) previousEnvironment_ = value;
    setenv("LC_ALL", name_.c_str(), 1);
}

CommaLocale::~CommaLocale() {
    if (name_.empty()) return;
    if (previousEnvironment_) {
        setenv("LC_ALL", previousEnvironment_->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    std::setlocale(LC_ALL, previousLocale_.c_str());
}

}  // namespace testsupport
