// UTF-8 <-> UTF-16 conversion as Windows does it without strict flags: a
// lone surrogate or a malformed byte sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace standin::detail {

std::string Utf8FromUtf16(std::u16string_view text);
// malformed (optional) tells whether any sequence was malformed.
std::u16string Utf16FromUtf8(std::string_view text, bool* malformed = nullptr);

// A Windows path (either separator) as a path of this system.
std::string NativePath(std::u16string_view windowsPath);

}  // namespace standin::detail
