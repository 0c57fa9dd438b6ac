#pragma once
#include <optional>
#include <string>

namespace testsupport {

// Switches the process to an installed locale whose decimal separator is a comma (German,
// French, Russian, ...), both for the C library (setlocale) and for libraries that read the
// environment later (LC_ALL), and restores both when it goes out of scope. When no such
// locale is installed nothing changes and Active() is false: tests then skip.
class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::string previousLocale_;
    std::optional<std::string> previousEnvironment_;
};

}  // namespace testsupport
