#include "plugin/lists/text/CodePageText.h"

#include <algorithm>

#include "base/Errors.h"

std::string ToUtf16Le(const WStr& text) {
  std::string bytes;
  bytes.reserve(2 * text.size());
  for (WCHAR c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

HRESULT ToCodePage(UINT codePage, const WStr& text, std::string& bytes) {
  bytes.clear();
  if (codePage == kCodePageUtf16Le) {
    bytes = ToUtf16Le(text);
    return S_OK;
  }
  // ASCII is the same in UTF-8 and in every ANSI code page: most lines need
  // no conversion and can't fail.
  if (std::all_of(text.begin(), text.end(), [](WCHAR c) { return c < 0x80; })) {
    bytes.assign(text.begin(), text.end());
    return S_OK;
  }
  if (text.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;
  const int length = static_cast<int>(text.size());
  // UTF-8 takes neither a default character nor its report; it fails on an
  // unpaired surrogate instead. Any other code page says whether it used its
  // default character, best fit being switched off.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr,
                                    utf8 ? nullptr : &usedDefault);
  if (n <= 0) return GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? kNoUnicodeTranslation : E_FAIL;
  if (usedDefault) return kNoUnicodeTranslation;
  // The size query has told whether the text converts; filling the bytes
  // needs no second report.
  bytes.resize(static_cast<std::size_t>(n));
  if (WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), n, nullptr, nullptr) != n) {
    bytes.clear();
    return E_FAIL;
  }
  return S_OK;
}

bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text) {
  text.clear();
  if (bytes.empty()) return true;
  if (codePage == kCodePageUtf16Le) {
    if (bytes.size() % 2 != 0) return false;
    text.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<WCHAR>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return true;
  }
  if (bytes.size() > 0x7FFFFFFF) RaiseResultError(E_OUTOFMEMORY);
  const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  const int length = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (n <= 0) return false;
  text.resize(static_cast<std::size_t>(n));
  return MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), n) == n;
}
