#include "plugin/hashers/HasherExports.h"

#include "base/Boundary.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/hashers/Hashers.h"

extern "C" HRESULT KCALL GetHashers(host::IHashers** hashers) {
  if (hashers == nullptr) return E_POINTER;
  *hashers = nullptr;
  return GuardFixed(E_UNEXPECTED, [&] {
    *hashers = NewInterface<host::IHashers, TqovHashers>();
    return S_OK;
  });
}

extern "C" HRESULT KCALL SetCodecs(host::ICompressCodecsInfo* codecsInfo) {
  HostCodecsInfo = ComPtr<host::ICompressCodecsInfo>::Share(codecsInfo);
  return S_OK;
}
