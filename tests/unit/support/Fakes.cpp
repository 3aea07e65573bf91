#include "tests/unit/support/Fakes.h"

#include <algorithm>

namespace fakes {

HRESULT KCALL OutStream::Write(const void* data, host::UInt32 size, host::UInt32* processed) {
  ++Calls;
  if (processed) *processed = 0;
  if (Calls == FailAtCall) return FailWith;
  const host::UInt32 taken = std::min(size, MaxPerWrite);
  Bytes.append(static_cast<const char*>(data), taken);
  if (processed) *processed = taken + ExtraReported;
  return S_OK;
}

HRESULT KCALL CodecsInfo::GetNumMethods(host::UInt32* count) {
  *count = 0;
  return S_OK;
}
HRESULT KCALL CodecsInfo::GetProperty(host::UInt32, PROPID, PROPVARIANT*) { return E_NOTIMPL; }
HRESULT KCALL CodecsInfo::CreateDecoder(host::UInt32, const GUID*, void**) { return E_NOTIMPL; }
HRESULT KCALL CodecsInfo::CreateEncoder(host::UInt32, const GUID*, void**) { return E_NOTIMPL; }

HRESULT KCALL CodecsInfo::QueryInterface(REFIID iid, void** object) {
  if (Hashers && IsEqualGUID(iid, host::IHashers::iid)) {
    *object = Hashers;
    Hashers->AddRef();
    return S_OK;
  }
  return ComObject<host::ICompressCodecsInfo>::QueryInterface(iid, object);
}

}  // namespace fakes
