#pragma once
#include <cstdio>
#include <memory>

// An open C file that closes itself.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;
