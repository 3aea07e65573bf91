// UTF-8 (CP_UTF8) or the ANSI code page (CP_ACP, Windows-1252 here) to
// UTF-16. With MB_ERR_INVALID_CHARS a malformed UTF-8 sequence makes the call
// fail with ERROR_NO_UNICODE_TRANSLATION; without it, it becomes U+FFFD.
// Every byte has a character in Windows-1252, so ANSI text never fails.
#include <string>
#include <string_view>

#include "platform/linux/Api.h"
#include "platform/linux/Codepage1252.h"
#include "platform/linux/Utf.h"

namespace {

constexpr UINT kWindows1252 = 1252;

int Fail(DWORD code) {
  SetLastError(code);
  return 0;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int outSize) {
  if (text == nullptr || length == 0 || outSize < 0 || (out == nullptr && outSize != 0)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  std::string_view source;
  if (length < 0) {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    source = std::string_view(text, n + 1);  // the terminator is converted too
  } else {
    source = std::string_view(text, static_cast<std::size_t>(length));
  }

  std::u16string converted;
  if (codePage == CP_UTF8) {
    if ((flags & ~MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    bool malformed = false;
    converted = standin::detail::Utf16FromUtf8(source, &malformed);
    if (malformed && (flags & MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_NO_UNICODE_TRANSLATION);
  } else if (codePage == CP_ACP || codePage == kWindows1252) {
    if ((flags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
    converted.reserve(source.size());
    for (const char c : source) converted.push_back(standin::detail::Utf16FromAnsi(static_cast<unsigned char>(c)));
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }

  const int needed = static_cast<int>(converted.size());
  if (outSize == 0) return needed;
  if (needed > outSize) {
    converted.copy(out, static_cast<std::size_t>(outSize));
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  converted.copy(out, converted.size());
  return needed;
}
