// UTF-16 to UTF-8 (CP_UTF8) or to the ANSI code page (CP_ACP, which is
// Windows-1252 here). UTF-8 encodes a lone surrogate as U+FFFD unless
// WC_ERR_INVALID_CHARS asks for failure. In the ANSI code page, a character
// that has no byte of its own becomes a look-alike where Windows' best-fit
// table has one ("L" for "Ł", "\" for the fullwidth reverse solidus), unless
// WC_NO_BEST_FIT_CHARS forbids it; any other becomes the default character
// ("?" or the caller's), which is what lpUsedDefaultChar reports. A best-fit
// substitute is not reported: that is why callers who need the exact text
// pass WC_NO_BEST_FIT_CHARS.
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

bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

std::string Ansi(std::u16string_view text, bool bestFit, char defaultChar, bool& usedDefault) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (const auto byte = standin::detail::AnsiFromUtf16(c)) {
      out.push_back(static_cast<char>(*byte));
    } else if (const auto fit = standin::detail::AnsiBestFit(c); bestFit && fit) {
      out.push_back(static_cast<char>(*fit));
    } else {
      out.push_back(defaultChar);
      usedDefault = true;
    }
  }
  return out;
}

}  // namespace

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int outSize,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (!ValidConversionArgs(text, length, out, outSize)) return Fail(ERROR_INVALID_PARAMETER);
  const auto source = ConversionSource(text, length);

  std::string converted;
  if (codePage == CP_UTF8) {
    if ((flags & ~WC_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    if (defaultChar != nullptr || usedDefaultChar != nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if ((flags & WC_ERR_INVALID_CHARS) != 0 && HasLoneSurrogate(source)) {
      return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    converted = standin::detail::Utf8FromUtf16(source);
  } else if (codePage == CP_ACP || codePage == kWindows1252) {
    if ((flags & ~WC_NO_BEST_FIT_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    bool usedDefault = false;
    converted = Ansi(source, (flags & WC_NO_BEST_FIT_CHARS) == 0,
                     defaultChar != nullptr ? defaultChar[0] : '?', usedDefault);
    if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }

  return DeliverConverted(converted, out, outSize);
}
