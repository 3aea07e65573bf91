#include "params/ValueConversion.h"

#include <cstring>
#include <limits>
#include <string>

#include "base/Bstr.h"
#include "base/Errors.h"
#include "base/LocaleText.h"
#include "base/PropValue.h"

namespace {

WStr Digits(std::uint64_t number) {
  const std::string narrow = std::to_string(number);
  return WStr(narrow.begin(), narrow.end());
}

int DigitValue(WCHAR c, unsigned base) {
  int digit = -1;
  if (c >= KW('0') && c <= KW('9')) digit = c - KW('0');
  else if (c >= KW('a') && c <= KW('f')) digit = c - KW('a') + 10;
  else if (c >= KW('A') && c <= KW('F')) digit = c - KW('A') + 10;
  return digit >= 0 && static_cast<unsigned>(digit) < base ? digit : -1;
}

// The number of a text that must not be negative.
bool TextToUInt64(const WCHAR* text, std::uint64_t& result) {
  std::int64_t number = 0;
  if (!TextToInt64(text, number) || number < 0) return false;
  result = static_cast<std::uint64_t>(number);
  return true;
}

VARIANT_BOOL AsVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Builds the converted value in result; false when no conversion applies.
bool Convert(const PROPVARIANT& source, VARTYPE target, PROPVARIANT& result) {
  result.vt = target;
  switch (target) {
    case VT_BSTR: {
      WStr text;
      switch (source.vt) {
        case VT_BSTR: text = ValueText(source); break;
        case VT_BOOL: text = source.boolVal != 0 ? KW("on") : KW("off"); break;
        case VT_UI4: text = Digits(source.ulVal); break;
        case VT_UI8: text = Digits(source.uhVal.QuadPart); break;
        default: return false;
      }
      result.bstrVal = NewBstr(text);
      return true;
    }
    case VT_BOOL:
      switch (source.vt) {
        case VT_BSTR: {
          bool on = false;
          if (!ParseSwitchWord(ValueText(source), on)) return false;
          result.boolVal = AsVariantBool(on);
          return true;
        }
        case VT_BOOL: result.boolVal = source.boolVal; return true;
        case VT_UI4: result.boolVal = AsVariantBool(source.ulVal != 0); return true;
        case VT_UI8: result.boolVal = AsVariantBool(source.uhVal.QuadPart != 0); return true;
        default: return false;
      }
    case VT_UI4:
      switch (source.vt) {
        case VT_BSTR: {
          std::uint64_t number = 0;
          if (!TextToUInt64(ValueText(source), number) || number > std::numeric_limits<std::uint32_t>::max())
            return false;
          result.ulVal = static_cast<ULONG>(number);
          return true;
        }
        case VT_BOOL: result.ulVal = source.boolVal != 0 ? 1 : 0; return true;
        case VT_UI4: result.ulVal = source.ulVal; return true;
        case VT_UI8:
          if (source.uhVal.QuadPart > std::numeric_limits<std::uint32_t>::max()) return false;
          result.ulVal = static_cast<ULONG>(source.uhVal.QuadPart);
          return true;
        default: return false;
      }
    case VT_UI8:
      switch (source.vt) {
        case VT_BSTR: {
          std::uint64_t number = 0;
          if (!TextToUInt64(ValueText(source), number)) return false;
          result.uhVal.QuadPart = number;
          return true;
        }
        case VT_BOOL: result.uhVal.QuadPart = source.boolVal != 0 ? 1 : 0; return true;
        case VT_UI4: result.uhVal.QuadPart = source.ulVal; return true;
        case VT_UI8: result.uhVal.QuadPart = source.uhVal.QuadPart; return true;
        default: return false;
      }
    default: return false;
  }
}

}  // namespace

PROPVARIANT EmptyValue() {
  PROPVARIANT value;
  std::memset(&value, 0, sizeof value);
  return value;
}

const WCHAR* ValueText(const PROPVARIANT& value) { return TextOrEmpty(value.bstrVal); }

bool TextToInt64(const WCHAR* text, std::int64_t& result) {
  const WCHAR* p = TextOrEmpty(text);
  while (*p == KW(' ')) ++p;
  bool negative = false;
  if (*p == KW('-') || *p == KW('+')) {
    negative = *p == KW('-');
    ++p;
  }
  unsigned base = 10;
  if (*p == KW('$') || *p == KW('x') || *p == KW('X')) {
    base = 16;
    ++p;
  } else if (p[0] == KW('0') && (p[1] == KW('x') || p[1] == KW('X'))) {
    base = 16;
    p += 2;
  }
  if (*p == 0) return false;
  // The magnitude may reach 2^63 only for a negative number.
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  std::uint64_t magnitude = 0;
  for (; *p != 0; ++p) {
    const int digit = DigitValue(*p, base);
    if (digit < 0) return false;
    if (magnitude > (limit - static_cast<unsigned>(digit)) / base) return false;
    magnitude = magnitude * base + static_cast<unsigned>(digit);
  }
  if (!negative) result = static_cast<std::int64_t>(magnitude);
  else if (magnitude == limit) result = std::numeric_limits<std::int64_t>::min();
  else result = -static_cast<std::int64_t>(magnitude);
  return true;
}

bool ParseSwitchWord(const WCHAR* text, bool& value) {
  static const struct {
    const WCHAR* Word;
    bool Value;
  } words[] = {{KW("off"), false}, {KW("no"), false}, {KW("on"), true}, {KW("yes"), true}};
  for (const auto& w : words) {
    if (SameTextIgnoreCase(text, w.Word)) {
      value = w.Value;
      return true;
    }
  }
  return false;
}

HRESULT ConvertValue(const PROPVARIANT& source, VARTYPE target, PROPVARIANT& dest) {
  // The new value is built first, so that a failure leaves dest as it was and
  // source may be dest itself.
  PROPVARIANT result = EmptyValue();
  if (!Convert(source, target, result)) return E_INVALIDARG;
  const HRESULT cleared = ClearPropValue(&dest);
  if (cleared != S_OK) {
    ClearPropValue(&result);
    RaiseResultError(cleared);
  }
  dest = result;
  return S_OK;
}
