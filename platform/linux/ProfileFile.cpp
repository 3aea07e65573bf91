// GetPrivateProfileStringW as Windows documents it, with the details Wine
// shows where the documentation is silent:
// - section and key names match without regard to case and to blanks around
//   them; only the first section of a name is searched, and the first key of
//   a name wins;
// - a value loses one pair of surrounding quotes (" or '); a line without "="
//   has no value, so reading it gives the default;
// - the default (NULL means "") loses its trailing spaces and, like a value,
//   its surrounding quotes; it is the answer for a missing file (last error
//   ERROR_FILE_NOT_FOUND), section or key;
// - key NULL lists the keys that have a value, comment keys (";...") left
//   out, in file order, each followed by a NUL and the list by one more; a
//   list that does not fit ends with a cut name and two NULs, and the result
//   is size - 2; an empty list gives the default instead;
// - section NULL lists the section names the same way.
// The file is read on every call; "\" and "/" both separate folders.
#include <cstdio>
#include <memory>
#include <optional>

#include "platform/linux/Api.h"
#include "platform/linux/CaseMap.h"
#include "platform/linux/Profile.h"
#include "platform/linux/Utf.h"

namespace {

using standin::detail::Profile;
using standin::detail::ProfileSection;

std::u16string_view View(LPCWSTR text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return {text, n};
}

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::optional<std::string> ReadFile(LPCWSTR fileName) {
  const std::string path = standin::detail::NativePath(View(fileName));
  const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, n);
  if (std::ferror(file.get()) != 0) return std::nullopt;
  return bytes;
}

// Copies text cut to room - 1 characters and a terminator (room > 0);
// returns the characters copied.
DWORD CopyCut(std::u16string_view text, LPWSTR buffer, DWORD room) {
  const std::size_t n = text.size() < room - 1 ? text.size() : room - 1;
  text.copy(buffer, n);
  buffer[n] = 0;
  return static_cast<DWORD>(n);
}

// The same for a value, which loses one pair of surrounding quotes first.
DWORD CopyValue(std::u16string_view value, LPWSTR buffer, DWORD size) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return CopyCut(value, buffer, size);
}

const ProfileSection* FindSection(const Profile& profile, std::u16string_view name) {
  name = standin::detail::TrimProfileBlanks(name);
  for (const ProfileSection& section : profile) {
    if (standin::detail::EqualIgnoringCase(section.name, name)) return &section;
  }
  return nullptr;
}

const std::optional<std::u16string>* FindValue(const ProfileSection& section, std::u16string_view name) {
  name = standin::detail::TrimProfileBlanks(name);
  for (const auto& key : section.keys) {
    if (standin::detail::EqualIgnoringCase(key.name, name)) return &key.value;
  }
  return nullptr;
}

// The names of the section's keys as a NUL-separated list (see the top).
// Room is kept for the list's last NUL; a name is only begun when at least
// one character of it and its NUL fit before that.
DWORD ListKeys(const ProfileSection& section, LPWSTR buffer, DWORD size) {
  DWORD pos = 0;
  for (const auto& key : section.keys) {
    if (size - pos <= 2) break;
    if (!key.value || (!key.name.empty() && key.name.front() == u';')) continue;
    pos += CopyCut(key.name, buffer + pos, size - pos - 1) + 1;
    if (size - pos < 2) break;
  }
  buffer[pos] = 0;
  if (size - pos <= 1) return size - 2;
  return pos;
}

// The names of the sections, the unnamed first one left out, listed the same
// way.
DWORD ListSections(const Profile& profile, LPWSTR buffer, DWORD size) {
  if (size == 1) {
    buffer[0] = 0;
    return 0;
  }
  DWORD pos = 0;
  for (const ProfileSection& section : profile) {
    if (section.name.empty()) continue;
    const DWORD left = size - 1 - pos;  // room before the list's last NUL
    if (section.name.size() + 1 >= left) {
      if (left > 0) pos += CopyCut(section.name, buffer + pos, left) + 1;
      buffer[pos] = 0;
      return size - 2;
    }
    pos += CopyCut(section.name, buffer + pos, left) + 1;
  }
  buffer[pos] = 0;
  return pos;
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::u16string_view fallback = defaultValue == nullptr ? std::u16string_view() : View(defaultValue);
  while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);

  const std::optional<std::string> bytes = fileName == nullptr ? std::nullopt : ReadFile(fileName);
  if (!bytes) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return CopyValue(fallback, buffer, size);
  }
  const Profile profile = standin::detail::ParseProfile(standin::detail::DecodeProfileText(*bytes));
  if (section == nullptr) return ListSections(profile, buffer, size);

  const ProfileSection* found = FindSection(profile, View(section));
  if (key != nullptr) {
    const std::optional<std::u16string>* value = found == nullptr ? nullptr : FindValue(*found, View(key));
    if (value != nullptr && value->has_value()) return CopyValue(**value, buffer, size);
    return CopyValue(fallback, buffer, size);
  }
  if (found != nullptr) {
    const DWORD n = ListKeys(*found, buffer, size);
    if (buffer[0] != 0) return n;
  }
  return CopyValue(fallback, buffer, size);
}
