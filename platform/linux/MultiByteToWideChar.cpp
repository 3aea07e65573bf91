// UTF-8 (CP_UTF8) or the ANSI code page (CP_ACP, Windows-1252 here) to
// UTF-16. With MB_ERR_INVALID_CHARS a malformed UTF-8 sequence makes the call
// fail with ERROR_NO_UNICODE_TRANSLATION; without it, it becomes U+FFFD.
// Every byte has a character in Windows-1252, so ANSI text never fails.
#include <string>
#include <string_view>

#include "platform/linux/Api.h"
#include "platform/linux/Codepage1252.h"
#include "platform/linux/TextConversion.h"
#include "platform/linux/Utf.h"

namespace {

using standin::detail::ConversionSource;
using standin::detail::DeliverConverted;
using standin::detail::kWindows1252;
using standin::detail::ValidConversionArgs;
constexpr auto Fail = standin::detail::FailConversion;

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int outSize) {
  if (!ValidConversionArgs(text, length, out, outSize)) return Fail(ERROR_INVALID_PARAMETER);
  const auto source = ConversionSource(text, length);

  std::u16string converted;
  if (codePage == CP_UTF8) {
    if ((flags & ~MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    bool malformed = false;
    converted = standin::detail::Utf16FromUtf8(source, &malformed);
    if (malformed && (flags & MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_NO_UNICODE_TRANSLATION);
  } else if (codePage == CP_ACP || codePage == kWindows1252) {
    if ((flags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
    converted.reserve(source.size());
    for (const char c : source)
      converted.push_back(standin::detail::Utf16FromAnsi(static_cast<unsigned char>(c)));
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }

  return DeliverConverted(converted, out, outSize);
}
