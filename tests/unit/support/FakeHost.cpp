#include "tests/unit/support/FakeHost.h"

#include <algorithm>
#include <cstring>

namespace fakes {

InStream::~InStream() {
  if (Host) Host->Touch();
}

HRESULT KCALL InStream::Read(void* data, host::UInt32 size, host::UInt32* processed) {
  *processed = 0;
  if (Host) Host->Touch();
  if (OnRead) OnRead();
  if (FailWith != S_OK && FPos >= FailAt) return FailWith;
  if (FailWith != S_OK) size = static_cast<host::UInt32>(std::min<std::size_t>(size, FailAt - FPos));
  const std::size_t n = std::min<std::size_t>({size, MaxPerRead, FData.size() - FPos});
  std::memcpy(data, FData.data() + FPos, n);
  FPos += n;
  *processed = static_cast<host::UInt32>(n);
  return S_OK;
}

HRESULT KCALL UpdateCallback::SetTotal(host::UInt64 total) {
  Totals.push_back(total);
  return Fault("SetTotal", 0);
}

HRESULT KCALL UpdateCallback::SetCompleted(const host::UInt64* completed) {
  Completed.push_back(*completed);
  return Fault("SetCompleted", static_cast<host::UInt32>(Completed.size() - 1));
}

HRESULT KCALL UpdateCallback::GetUpdateItemInfo(host::UInt32 index, host::Int32* newData,
                                                host::Int32* newProps, host::UInt32* indexInArchive) {
  if (HRESULT hr = Fault("GetUpdateItemInfo", index); hr != S_OK) return hr;
  *newData = Items.at(index).newData;
  *newProps = Items.at(index).newProps;
  const auto it = IndexInArchive.find(static_cast<int>(index));
  *indexInArchive = it == IndexInArchive.end() ? 0xFFFFFFFFu : it->second;
  return S_OK;
}

HRESULT KCALL UpdateCallback::GetProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  if (HRESULT hr = Fault("GetProperty", index); hr != S_OK) return hr;
  const Item& item = Items.at(index);
  std::memset(value, 0, sizeof *value);
  switch (propId) {
    case host::kpidIsDir:
      value->vt = VT_BOOL;
      value->boolVal = item.isDir ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case host::kpidSize:
      value->vt = VT_UI8;
      value->uhVal.QuadPart = item.data.size();
      break;
    case host::kpidPath:
      value->vt = VT_BSTR;
      value->bstrVal = SysAllocStringLen(item.path.data(), static_cast<UINT>(item.path.size()));
      break;
    default: break;
  }
  const auto wrong = WrongKind.find({static_cast<int>(index), propId});
  if (wrong != WrongKind.end()) {
    if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
    value->vt = wrong->second;
    value->ulVal = 0;
  }
  return S_OK;
}

HRESULT KCALL UpdateCallback::GetStream(host::UInt32 index, host::ISequentialInStream** stream) {
  *stream = nullptr;
  Calls.push_back("GetStream " + std::to_string(index));
  FCurrent = index;
  if (HRESULT hr = Fault("GetStream", index); hr != S_OK) return hr;
  if (NullStream.count(static_cast<int>(index))) return S_OK;
  auto in = NewInterface<InStream, InStream>(Items.at(index).data);
  in->MaxPerRead = MaxPerRead;
  in->FailWith = Fault("Read", index);
  in->FailAt = FailReadAt;
  in->OnRead = OnRead;
  in->Host = this;
  *stream = in;
  return S_OK;
}

HRESULT KCALL UpdateCallback::SetOperationResult(host::Int32 result) {
  ++OperationResults;
  Calls.push_back("Result " + std::to_string(result));
  return Fault("SetOperationResult", FCurrent);
}

void KCALL Hasher::Final(BYTE* digest) { std::memcpy(digest, Digest.data(), Digest.size()); }

HRESULT KCALL HasherList::GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  std::memset(value, 0, sizeof *value);
  if (index >= Hashers.size()) return E_INVALIDARG;
  if (propId == 1) {
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(Hashers[index].first.c_str());
  }
  return S_OK;
}

HRESULT KCALL HasherList::CreateHasher(host::UInt32 index, host::IHasher** hasher) {
  *hasher = nullptr;
  if (index >= Hashers.size()) return E_INVALIDARG;
  ++Created;
  *hasher = NewInterface<host::IHasher, Hasher>(Hashers[index].second);
  return S_OK;
}

HRESULT KCALL OpenCallback::QueryInterface(REFIID iid, void** object) {
  if (!WithVolume && IsEqualGUID(iid, host::IArchiveOpenVolumeCallback::iid)) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  return ComObject<host::IArchiveOpenCallback, host::IArchiveOpenVolumeCallback>::QueryInterface(iid, object);
}

HRESULT KCALL OpenCallback::GetProperty(PROPID propId, PROPVARIANT* value) {
  std::memset(value, 0, sizeof *value);
  if (propId == host::kpidName) {
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(Name.c_str());
  }
  return S_OK;
}

HRESULT KCALL OpenCallback::GetStream(const WCHAR*, host::IInStream** stream) {
  *stream = nullptr;
  return S_FALSE;
}

}  // namespace fakes
