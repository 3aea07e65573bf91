// OLE automation strings laid out as Windows lays them out: a 32-bit byte
// length right before the text, and a terminating NUL after it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/linux/Api.h"

namespace {

using Prefix = std::uint32_t;

Prefix* PrefixOf(BSTR text) { return reinterpret_cast<Prefix*>(text) - 1; }

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  // The byte length must fit the prefix, with room for the terminator.
  constexpr UINT kMaxLength =
      (std::numeric_limits<Prefix>::max() - sizeof(Prefix) - sizeof(OLECHAR)) / sizeof(OLECHAR);
  if (length > kMaxLength) return nullptr;
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  void* block = std::malloc(sizeof(Prefix) + bytes + sizeof(OLECHAR));
  if (block == nullptr) return nullptr;
  auto* prefix = static_cast<Prefix*>(block);
  *prefix = static_cast<Prefix>(bytes);
  BSTR result = reinterpret_cast<BSTR>(prefix + 1);
  if (text != nullptr) {
    std::memcpy(result, text, bytes);
  } else {
    std::memset(result, 0, bytes);
  }
  result[length] = 0;
  return result;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  UINT length = 0;
  while (text[length] != 0) ++length;
  return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(PrefixOf(text));
}

UINT SysStringLen(BSTR text) {
  return text == nullptr ? 0 : static_cast<UINT>(*PrefixOf(text) / sizeof(OLECHAR));
}
