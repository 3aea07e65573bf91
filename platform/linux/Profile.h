// A profile (INI) file as the profile calls read it: its text decoded by its
// byte-order mark, split into sections of keys in file order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin::detail {

struct ProfileKey {
  std::u16string name;
  std::optional<std::u16string> value;  // nothing: a line without "="
};

struct ProfileSection {
  std::u16string name;
  std::vector<ProfileKey> keys;
};

// The first section is the unnamed one that holds the lines before any
// section header; every "[name]" line starts another, even a repeated name.
using Profile = std::vector<ProfileSection>;

// UTF-8 or UTF-16 (little or big endian) after their byte-order marks, else
// the ANSI code page.
std::u16string DecodeProfileText(std::string_view bytes);

Profile ParseProfile(std::u16string_view text);

// The text without the blanks around it (ASCII white space and the
// end-of-file control 0x1A), as names, values and lines are trimmed.
std::u16string_view TrimProfileBlanks(std::u16string_view text);

}  // namespace standin::detail
