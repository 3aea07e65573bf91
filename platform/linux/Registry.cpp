// The registry under HKEY_LOCAL_MACHINE as a set of key paths (set by the
// tests). A key exists when it was set or lies on the path to one that was,
// as in a real hive; names are compared without regard to letter case. The
// other predefined roots hold no keys. Handles of opened keys are tracked, so
// closing one twice or closing something never opened is refused.
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/linux/Api.h"
#include "platform/linux/CaseMap.h"
#include "platform/linux/State.h"
#include "platform/linux/TestControl.h"

namespace {

constexpr ULONG_PTR kFirstRoot = 0x80000000u;  // HKEY_CLASSES_ROOT
constexpr ULONG_PTR kLastRoot = 0x80000006u;   // HKEY_CURRENT_CONFIG

struct Registry {
  std::mutex mutex;
  std::vector<std::u16string> keys;          // normalised and case-folded
  std::map<ULONG_PTR, std::u16string> open;  // handle -> normalised path under HKLM
  ULONG_PTR nextHandle = 0x1000;
};

Registry& State() {
  static Registry registry;
  return registry;
}

bool IsRoot(HKEY key) {
  const auto value = reinterpret_cast<ULONG_PTR>(key);
  return value >= kFirstRoot && value <= kLastRoot;
}

// Joins the non-empty, "\"-separated parts of path to base; folds case.
std::u16string Append(std::u16string base, std::u16string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > start) {
      if (!base.empty()) base.push_back(u'\\');
      for (std::size_t i = start; i < end; ++i) base.push_back(standin::detail::FoldUnit(path[i]));
    }
    start = end + 1;
  }
  return base;
}

// Caller holds the lock.
bool Exists(const Registry& r, const std::u16string& folded) {
  if (folded.empty()) return true;
  return std::any_of(r.keys.begin(), r.keys.end(), [&](const std::u16string& key) {
    return key == folded || (key.size() > folded.size() && key.compare(0, folded.size(), folded) == 0 &&
                             key[folded.size()] == u'\\');
  });
}

std::size_t Length(LPCWSTR text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD /*options*/, REGSAM /*access*/, PHKEY result) {
  if (result == nullptr) return static_cast<LSTATUS>(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  const std::u16string_view sub =
      subKey == nullptr ? std::u16string_view() : std::u16string_view(subKey, Length(subKey));
  if (!sub.empty() && sub.front() == u'\\') return static_cast<LSTATUS>(ERROR_BAD_PATHNAME);

  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::u16string base;
  if (IsRoot(root)) {
    if (sub.empty()) {
      *result = root;  // the predefined key itself, as Windows answers
      return static_cast<LSTATUS>(ERROR_SUCCESS);
    }
    if (root != HKEY_LOCAL_MACHINE) return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
  } else {
    const auto it = r.open.find(reinterpret_cast<ULONG_PTR>(root));
    if (it == r.open.end()) return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    base = it->second;
  }
  std::u16string path = Append(base, sub);
  if (!Exists(r, path)) return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
  const ULONG_PTR handle = r.nextHandle;
  r.nextHandle += 4;
  r.open.emplace(handle, std::move(path));
  *result = reinterpret_cast<HKEY>(handle);
  return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS RegCloseKey(HKEY key) {
  if (IsRoot(key)) return static_cast<LSTATUS>(ERROR_SUCCESS);
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.open.erase(reinterpret_cast<ULONG_PTR>(key)) == 0) return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
  return static_cast<LSTATUS>(ERROR_SUCCESS);
}

namespace standin {

void SetRegistryKeys(const std::vector<std::u16string>& keys) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.keys.clear();
  for (const std::u16string& key : keys) r.keys.push_back(Append({}, key));
}

int OpenRegistryKeys() {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  return static_cast<int>(r.open.size());
}

namespace detail {

void ResetRegistry() { SetRegistryKeys({}); }

bool RegistryKeyExists(std::u16string_view path) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  return Exists(r, Append({}, path));
}

void AddRegistryKey(std::u16string_view path) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.keys.push_back(Append({}, path));
}

}  // namespace detail
}  // namespace standin
