#include "plugin/hashers/Hashers.h"

#include <cstring>

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

host::UInt32 KCALL TqovHashers::GetNumHashers() { return static_cast<host::UInt32>(HasherAlgCount); }

HRESULT KCALL TqovHashers::GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  return GuardFixed(E_UNEXPECTED, [&] {
    std::memset(value, 0, sizeof *value);
    if (index >= static_cast<host::UInt32>(HasherAlgCount)) return E_INVALIDARG;
    const THashAlgInfo& alg = HasherAlgs[index];
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
    if (index >= static_cast<host::UInt32>(HasherAlgCount)) return E_INVALIDARG;
    *hasher = NewInterface<host::IHasher, TqovHasher>(&HasherAlgs[index]);
    return S_OK;
  });
}
