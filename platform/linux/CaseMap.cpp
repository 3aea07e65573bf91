#include "platform/linux/CaseMap.h"

#include <locale.h>
#include <wctype.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace standin::detail {
namespace {

// A UTF-8 character-type locale owned for the life of the program.
class CaseLocale {
 public:
  CaseLocale() {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      locale_ = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
      if (locale_ != static_cast<locale_t>(nullptr)) return;
    }
    std::fputs("stand-in: no UTF-8 locale for case mapping\n", stderr);
    std::abort();
  }
  ~CaseLocale() { freelocale(locale_); }
  CaseLocale(const CaseLocale&) = delete;
  CaseLocale& operator=(const CaseLocale&) = delete;

  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

locale_t Locale() {
  static const CaseLocale locale;
  return locale.get();
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// One direction of a mapping, kept only when the other direction leads back.
template <typename There, typename Back>
char32_t RoundTrip(char32_t c, There there, Back back) {
  if (IsSurrogate(c) || c > 0x10FFFF) return c;
  const auto mapped = static_cast<char32_t>(there(static_cast<wint_t>(c), Locale()));
  if (mapped == c || mapped > 0x10FFFF) return c;
  return static_cast<char32_t>(back(static_cast<wint_t>(mapped), Locale())) == c ? mapped : c;
}

// The BMP unit of a character, or the original unit when it would leave the
// BMP.
WCHAR Narrow(char32_t mapped, WCHAR original) {
  return mapped > 0xFFFF ? original : static_cast<WCHAR>(mapped);
}

template <typename Map>
void MapText(WCHAR* text, DWORD count, Map map) {
  for (DWORD i = 0; i < count; ++i) {
    const WCHAR c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      const char32_t code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      const char32_t mapped = map(code);
      if (mapped > 0xFFFF) {
        text[i] = static_cast<WCHAR>(0xD800 + ((mapped - 0x10000) >> 10));
        text[i + 1] = static_cast<WCHAR>(0xDC00 + ((mapped - 0x10000) & 0x3FF));
      }
      ++i;
    } else {
      text[i] = Narrow(map(c), c);
    }
  }
}

}  // namespace

char32_t UpperChar(char32_t c) { return RoundTrip(c, towupper_l, towlower_l); }

char32_t LowerChar(char32_t c) { return RoundTrip(c, towlower_l, towupper_l); }

WCHAR UpperUnit(WCHAR c) { return Narrow(UpperChar(c), c); }

WCHAR LowerUnit(WCHAR c) { return Narrow(LowerChar(c), c); }

void UpperText(WCHAR* text, DWORD count) { MapText(text, count, UpperChar); }

void LowerText(WCHAR* text, DWORD count) { MapText(text, count, LowerChar); }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldUnit(a[i]) != FoldUnit(b[i])) return false;
  }
  return true;
}

}  // namespace standin::detail
