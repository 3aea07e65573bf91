#include "plugin/hashers/Hashers.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "base/Boundary.h"
#include "base/Bstr.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/hashers/Hasher.h"

namespace {
// Method property identifiers the host asks of a hasher.
constexpr PROPID kId = 0;
constexpr PROPID kName = 1;
constexpr PROPID kDescription = 6;
constexpr PROPID kDigestSize = 9;
}  // namespace

TqovHashers::TqovHashers() {
  // The host counts the hashers once, when it loads the module, and never
  // asks again: a hasher offered here must be one that can hash. Each
  // provider's context is acquired once, for its first entry.
  FOffered.reserve(static_cast<std::size_t>(HasherAlgCount));
  for (std::int32_t i = 0; i < HasherAlgCount; ++i) {
    const THashAlgInfo* alg = &HasherAlgs[static_cast<std::size_t>(i)];
    ProviderContextRef provider = ProviderContextOf(alg->ProviderName, alg->ProviderType);
    if (ProbeDigest(alg, provider) == S_OK) FOffered.push_back({alg, std::move(provider)});
  }
}

host::UInt32 KCALL TqovHashers::GetNumHashers() { return static_cast<host::UInt32>(FOffered.size()); }

HRESULT KCALL TqovHashers::GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  return GuardFixed(E_UNEXPECTED, [&] {
    std::memset(value, 0, sizeof *value);
    if (index >= FOffered.size()) return E_INVALIDARG;
    const THashAlgInfo& alg = *FOffered[index].Alg;
    switch (propId) {
      case kId:
        value->uhVal.QuadPart = alg.AlgId;
        value->vt = VT_UI8;
        break;
      case kName:
        value->bstrVal = NewBstr(alg.Name);
        value->vt = VT_BSTR;
        break;
      case kDescription:
        value->bstrVal = NewBstr(alg.DisplayName);
        value->vt = VT_BSTR;
        break;
      case kDigestSize:
        value->ulVal = static_cast<ULONG>(alg.HashSize);
        value->vt = VT_UI4;
        break;
      default: break;
    }
    return S_OK;
  });
}

HRESULT KCALL TqovHashers::CreateHasher(host::UInt32 index, host::IHasher** hasher) {
  *hasher = nullptr;
  return GuardFixed(E_UNEXPECTED, [&] {
    if (index >= FOffered.size()) return E_INVALIDARG;
    *hasher = NewInterface<host::IHasher, TqovHasher>(FOffered[index].Alg, FOffered[index].Provider);
    return S_OK;
  });
}
