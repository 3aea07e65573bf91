// The module path: one path for every module handle, set by the tests or, by
// default, the running program's own file in Windows spelling ("\"-separated).
#include <unistd.h>

#include <mutex>
#include <string>

#include "platform/linux/Api.h"
#include "platform/linux/State.h"
#include "platform/linux/TestControl.h"
#include "platform/linux/Utf.h"

namespace {

struct ModulePath {
  std::mutex mutex;
  std::u16string path;  // empty: the program's own path
};

ModulePath& State() {
  static ModulePath state;
  return state;
}

std::u16string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  std::u16string wide = standin::detail::Utf16FromUtf8(path);
  for (char16_t& c : wide) {
    if (c == u'/') c = u'\\';
  }
  return wide;
}

std::u16string CurrentPath() {
  ModulePath& m = State();
  std::lock_guard<std::mutex> lock(m.mutex);
  return m.path.empty() ? ProgramPath() : m.path;
}

}  // namespace

// As Windows Vista and later: a path that does not fit is cut to size - 1
// characters and a terminator, the result is size and the last error is
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE /*module*/, LPWSTR buffer, DWORD size) {
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string path = CurrentPath();
  if (path.size() < size) {
    path.copy(buffer, path.size());
    buffer[path.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
  }
  path.copy(buffer, size - 1);
  buffer[size - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

namespace standin {

void SetModulePath(std::u16string path) {
  ModulePath& m = State();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.path = std::move(path);
}

namespace detail {

void ResetModulePath() { SetModulePath({}); }

}  // namespace detail
}  // namespace standin
