// A module with a few hash-list formats and helpers to run updates on them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/ModuleFixture.h"

namespace fixture {

// Formats: 0 MD5 "md5:%HASH% *%FILENAME%", 1 SHA-256 "sha256:%HASH% *%FILENAME%",
// 2 CRC32 "sfv:%FILENAME% %HASH%", 3 X2 ":%HASH% %FILENAME%", 4 X8 "%HASH%".
class Formats : public Module {
 public:
  Formats();
  // A new handler for format index i (by its class identifier).
  static ComPtr<host::IOutArchive> Handler(int index);
};

// An update callback of the items; entries: an item's index -> the index in
// the open list of the entry it stands for.
ComPtr<fakes::UpdateCallback> Callback(std::vector<fakes::Item> items,
                                       std::map<int, host::UInt32> entries = {});

// Property values; a text points at the caller's literal.
PROPVARIANT Text(const WCHAR* text);
PROPVARIANT Number(ULONG n);

// SetProperties through the handler's ISetProperties.
HRESULT SetProperties(host::IOutArchive* handler, const std::vector<std::pair<WStr, PROPVARIANT>>& props);

struct UpdateResult {
  HRESULT hr;
  std::string bytes;
};
// Runs UpdateItems into a fresh output stream.
UpdateResult Update(host::IOutArchive* handler, fakes::UpdateCallback* callback);

// Opens bytes as the file name (through the open callback's volume name).
HRESULT OpenList(host::IOutArchive* handler, const WCHAR* name, const std::string& bytes);
// The open list's entries: "path|checksum hex" for each.
std::vector<std::string> Entries(host::IOutArchive* handler);

}  // namespace fixture
