#pragma once
#include <cstdint>

// HRESULT-style results of the file operations and of the code that follows their convention.
constexpr int32_t S_OK = 0;
constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);
