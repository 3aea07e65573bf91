// What MultiByteToWideChar and WideCharToMultiByte share: the argument
// checks, the source text (a length of -1 takes the text with its
// terminator), and handing the converted text to the caller's buffer.
#pragma once

#include <string>
#include <string_view>

#include "platform/linux/Api.h"

namespace standin::detail {

// The ANSI code page, also when named by its number.
constexpr UINT kWindows1252 = 1252;

inline int FailConversion(DWORD code) {
  SetLastError(code);
  return 0;
}

template <class Char, class Out>
bool ValidConversionArgs(const Char* text, int length, const Out* out, int outSize) {
  return text != nullptr && length != 0 && outSize >= 0 && (out != nullptr || outSize == 0);
}

template <class Char>
std::basic_string_view<Char> ConversionSource(const Char* text, int length) {
  if (length >= 0) return {text, static_cast<std::size_t>(length)};
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return {text, n + 1};  // the terminator is converted too
}

// The length (outSize 0), or the text copied into out; a buffer too small
// gets what fits and ERROR_INSUFFICIENT_BUFFER.
template <class Char>
int DeliverConverted(const std::basic_string<Char>& converted, Char* out, int outSize) {
  const int needed = static_cast<int>(converted.size());
  if (outSize == 0) return needed;
  if (needed > outSize) {
    converted.copy(out, static_cast<std::size_t>(outSize));
    return FailConversion(ERROR_INSUFFICIENT_BUFFER);
  }
  converted.copy(out, converted.size());
  return needed;
}

}  // namespace standin::detail
