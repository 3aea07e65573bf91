#include "plugin/lists/ThreadOption.h"

#include <algorithm>
#include <thread>

#include "base/LocaleText.h"

namespace {

unsigned Bounded(unsigned long long n) {
  return static_cast<unsigned>(std::clamp<unsigned long long>(n, 1, kMaxThreads));
}

// A count in decimal digits, or "on"/"off"; nothing else.
bool ParseText(WStrView text, unsigned processors, unsigned& threads) {
  if (text.empty()) return false;
  if (SameTextIgnoreCase(WStr(text).c_str(), KW("on"))) {
    threads = processors;
    return true;
  }
  if (SameTextIgnoreCase(WStr(text).c_str(), KW("off"))) {
    threads = 1;
    return true;
  }
  unsigned long long n = 0;
  for (WCHAR c : text) {
    if (c < KW('0') || c > KW('9')) return false;
    n = std::min<unsigned long long>(n * 10 + static_cast<unsigned>(c - KW('0')), 1u << 20);
  }
  threads = Bounded(n);
  return true;
}

}  // namespace

unsigned ProcessorCount() { return Bounded(std::thread::hardware_concurrency()); }

bool IsThreadOption(const WCHAR* name) {
  return (name[0] == KW('m') || name[0] == KW('M')) && (name[1] == KW('t') || name[1] == KW('T'));
}

bool ParseThreadOption(const WCHAR* name, const PROPVARIANT& value, unsigned processors, unsigned& threads) {
  const WStrView tail = WStrView(name).substr(2);
  // -mmt4: the count in the name.
  if (!tail.empty()) return value.vt == VT_EMPTY && ParseText(tail, processors, threads);
  switch (value.vt) {
    case VT_EMPTY: threads = processors; return true;
    case VT_BOOL: threads = value.boolVal != VARIANT_FALSE ? processors : 1; return true;
    case VT_UI4: threads = Bounded(value.ulVal); return true;
    case VT_BSTR: return value.bstrVal != nullptr && ParseText(value.bstrVal, processors, threads);
    default: return false;
  }
}
