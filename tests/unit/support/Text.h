// Small text helpers for test messages and expectations.
#pragma once

#include <string>

#include "platform/Win32.h"

namespace testing_text {

// Upper-case hex of bytes.
std::string Hex(const void* data, std::size_t size);
// UTF-8 of UTF-16 text (for messages and comparisons).
std::string Utf8(const WStr& text);
// Whether the ANSI code page is Windows-1252: the stand-in's always is, a
// Windows machine's is on western systems.
bool AnsiIsWindows1252();

}  // namespace testing_text
