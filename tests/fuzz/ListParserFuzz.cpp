// Any bytes as a hash list: the parser must not fail in any way, and what it
// accepts must be lines that composing its entries gives back (digits'
// letter case aside).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/LocaleText.h"
#include "plugin/lists/HashList.h"
#include "plugin/lists/LineComposer.h"
#include "plugin/lists/LineLayout.h"

namespace {

const WCHAR* const kLayouts[] = {KW("%HASH% *%FILENAME%"), KW("%FILENAME% %HASH%"),
                                 KW("%HASHNAME% (%FILENAME%) = %HASH%"), KW("%hash%%FILENAME%%HASHNAME%"),
                                 KW("[%FILENAME%]")};
const std::size_t kDigestSizes[] = {2, 4, 16, 20, 32};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const WStr format = kLayouts[data[0] % std::size(kLayouts)];
  const std::size_t digestSize = kDigestSizes[(data[0] / 8) % std::size(kDigestSizes)];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto layout = ParseLineLayout(format);
  const auto list = HashList::Parse(bytes, layout, KW("MD5"), digestSize);
  if (!list) return 0;
  Check(list->DigestSize() == digestSize);
  for (std::size_t i = 0; i < list->Count(); ++i) {
    const WStr path = list->Path(i);
    Check(!path.empty());
    const WStr line = ComposeLine(layout, path, KW("MD5"), list->Digest(i), digestSize);
    Check(UpperCased(line) == UpperCased(list->LineText(i)));
    Check(list->LineBytes(i).size() <= bytes.size());
  }
  return 0;
}
