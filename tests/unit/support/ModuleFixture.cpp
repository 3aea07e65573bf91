#include "tests/unit/support/ModuleFixture.h"

#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "plugin/Module.h"
#include "plugin/catalogue/Catalogues.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace fixture {

const WStr kBaseProvider = KW("Microsoft Base Cryptographic Provider v1.0");
const WStr kAesProvider = KW("Microsoft Enhanced RSA and AES Cryptographic Provider");
const WStr kAesPrototypeProvider = KW("Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)");
const WStr kInfotecsProvider = KW("Infotecs Cryptographic Service Provider");

namespace {

std::filesystem::path IniPath() { return Module::IniFolder() / "Korvane.ini"; }

#ifndef _WIN32
std::u16string WindowsStyle(const std::filesystem::path& p) {
  std::u16string s;
  for (char c : p.string()) s.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
  return s;
}
#endif

}  // namespace

std::filesystem::path Module::IniFolder() {
#ifdef _WIN32
  wchar_t path[MAX_PATH * 4];
  GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return std::filesystem::path(path).parent_path();
#else
  static const std::filesystem::path folder = [] {
    auto p = std::filesystem::temp_directory_path() / ("korvane-module-" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
#endif
}

Module::Module(std::optional<std::string> ini, std::optional<std::vector<WStr>> providers) {
  std::filesystem::remove(IniPath());
  if (ini) {
    std::ofstream out(IniPath(), std::ios::binary);
    out << *ini;
  }
#ifdef _WIN32
  (void)providers;
  ModuleStart(GetModuleHandleW(nullptr));
#else
  standin::Reset();
  standin::SetModulePath(WindowsStyle(IniFolder() / "Korvane.64.dll"));
  if (!providers) providers = {kBaseProvider, kAesProvider, kAesPrototypeProvider, kInfotecsProvider};
  std::vector<std::u16string> keys;
  for (const WStr& p : *providers)
    keys.push_back(u"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\" + p);
  standin::SetRegistryKeys(keys);
  ModuleStart(nullptr);
#endif
}

std::vector<std::string> HasherNames() {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(HasherAlgCount));
  for (std::int32_t i = 0; i < HasherAlgCount; ++i)
    names.push_back(testing_text::Utf8(HasherAlgs[static_cast<std::size_t>(i)].Name));
  return names;
}

Module::~Module() {
  ModuleEnd();
  std::filesystem::remove(IniPath());
}

}  // namespace fixture
