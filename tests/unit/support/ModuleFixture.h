// Runs module start and end around a test with a fixture of its own: which
// providers are registered and what Korvane.ini beside the module says.
//
// On Linux the stand-in registry holds exactly the providers given and the
// module lives in a temporary folder. Under Windows the providers are the
// machine's (the test script registers the four of the built-in table under
// Wine), and Korvane.ini is written beside the test program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Win32.h"

namespace fixture {

// Provider names of the built-in table.
extern const WStr kBaseProvider;
extern const WStr kAesProvider;
extern const WStr kAesPrototypeProvider;
extern const WStr kInfotecsProvider;

class Module {
 public:
  // ini: the file's bytes, or nothing for no file. providers: Linux only;
  // nothing means all four.
  explicit Module(std::optional<std::string> ini = std::nullopt,
                  std::optional<std::vector<WStr>> providers = std::nullopt);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // Folder that module start reads Korvane.ini from.
  static std::filesystem::path IniFolder();
};

// Names of the hasher catalogue's entries, in order.
std::vector<std::string> HasherNames();

// Whether the tests can choose the registered providers (the stand-in can).
constexpr bool kCanChooseProviders =
#ifdef _WIN32
    false;
#else
    true;
#endif

}  // namespace fixture
