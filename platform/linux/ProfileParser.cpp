// Lines are split at LF, or at CR where no LF follows. Every line is trimmed
// of blanks; empty lines are skipped. "[name]" (up to the line's last "]")
// starts a section; any other line is a key: its name up to the first "="
// and its value after it, both trimmed, or a name without value when the line
// has no "=". Comment lines (";...") are kept as keys; the readers skip them
// where Windows does.
#include "platform/linux/Profile.h"

namespace standin::detail {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A; }

}  // namespace

std::u16string_view TrimProfileBlanks(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

Profile ParseProfile(std::u16string_view text) {
  Profile profile(1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u'\n', pos);
    if (end == std::u16string_view::npos) end = text.find(u'\r', pos);
    end = end == std::u16string_view::npos ? text.size() : end + 1;
    const std::u16string_view line = TrimProfileBlanks(text.substr(pos, end - pos));
    pos = end;
    if (line.empty()) continue;

    if (line.front() == u'[') {
      const std::size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos && close > 0) {
        profile.push_back({std::u16string(TrimProfileBlanks(line.substr(1, close - 1))), {}});
        continue;
      }
    }
    ProfileKey key;
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      key.name = line;
    } else {
      key.name = TrimProfileBlanks(line.substr(0, equals));
      key.value = std::u16string(TrimProfileBlanks(line.substr(equals + 1)));
    }
    profile.back().keys.push_back(std::move(key));
  }
  return profile;
}

}  // namespace standin::detail
