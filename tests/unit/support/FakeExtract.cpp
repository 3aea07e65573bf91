#include "tests/unit/support/FakeExtract.h"

#include <algorithm>
#include <cstring>

#include "tests/unit/support/FakeHost.h"

namespace fakes {

namespace {

// What the host's output stream for a tested file receives, kept by the
// callback.
class CopyStream : public ComObject<host::ISequentialOutStream> {
 public:
  CopyStream(std::string& copied, const FaultScript& host) : FCopied(copied), FHost(host) {}
  HRESULT KCALL Write(const void* data, host::UInt32 size, host::UInt32* processed) override {
    FHost.Touch();
    FCopied.append(static_cast<const char*>(data), size);
    if (processed) *processed = size;
    return S_OK;
  }

 private:
  std::string& FCopied;
  const FaultScript& FHost;
};

}  // namespace

HRESULT KCALL MemoryInStream::Read(void* data, host::UInt32 size, host::UInt32* processed) {
  ++Reads;
  const std::size_t n = std::min<std::size_t>(size, FData.size() - std::min(FPos, FData.size()));
  if (n > 0) std::memcpy(data, FData.data() + FPos, n);
  FPos += n;
  if (processed) *processed = static_cast<host::UInt32>(n);
  return S_OK;
}

HRESULT KCALL MemoryInStream::Seek(std::int64_t offset, host::UInt32 origin, host::UInt64* newPosition) {
  const auto size = static_cast<std::int64_t>(ReportedSize != 0 ? ReportedSize : FData.size());
  const std::int64_t base = origin == host::kSeekSet   ? 0
                            : origin == host::kSeekEnd ? size
                                                       : static_cast<std::int64_t>(FPos);
  if (base + offset < 0) return E_INVALIDARG;
  FPos = static_cast<std::size_t>(base + offset);
  if (newPosition) *newPosition = FPos;
  return S_OK;
}

HRESULT KCALL ExtractCallback::QueryInterface(REFIID iid, void** object) {
  if ((!WithFiles && IsEqualGUID(iid, host::IArchiveUpdateCallbackFile::iid)) ||
      (!WithDisk && IsEqualGUID(iid, host::IArchiveGetDiskProperty::iid))) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  return ComObject<host::IArchiveExtractCallback, host::IArchiveUpdateCallbackFile,
                   host::IArchiveGetDiskProperty>::QueryInterface(iid, object);
}

HRESULT KCALL ExtractCallback::SetTotal(host::UInt64 total) {
  Totals.push_back(total);
  return Fault("SetTotal", 0);
}

HRESULT KCALL ExtractCallback::SetCompleted(const host::UInt64* completed) {
  Completed.push_back(*completed);
  return Fault("SetCompleted", static_cast<host::UInt32>(Completed.size() - 1));
}

HRESULT KCALL ExtractCallback::GetStream(host::UInt32 index, host::ISequentialOutStream** outStream,
                                         host::Int32 askExtractMode) {
  *outStream = nullptr;
  Calls.push_back("GetStream " + std::to_string(index) + " " + std::to_string(askExtractMode));
  FCurrent = index;
  if (WantsCopy) *outStream = NewInterface<host::ISequentialOutStream, CopyStream>(Copied, *this);
  return Fault("GetStream", index);
}

HRESULT KCALL ExtractCallback::PrepareOperation(host::Int32 askExtractMode) {
  Calls.push_back("Prepare " + std::to_string(askExtractMode));
  return Fault("PrepareOperation", FCurrent);
}

HRESULT KCALL ExtractCallback::SetOperationResult(host::Int32 opRes) {
  Calls.push_back("Result " + std::to_string(opRes));
  return Fault("SetOperationResult", FCurrent);
}

HRESULT KCALL ExtractCallback::GetStream2(host::UInt32 index, host::ISequentialInStream** inStream,
                                          host::UInt32 notifyOp) {
  *inStream = nullptr;
  Calls.push_back("GetStream2 " + std::to_string(index) + " " + std::to_string(notifyOp));
  if (HRESULT hr = Fault("GetStream2", index); hr != S_OK) return hr;
  const auto file = Files.find(index);
  if (file == Files.end()) return S_OK;
  auto* in = NewInterface<InStream, InStream>(file->second);
  in->FailWith = Fault("Read", index);
  in->FailAt = FailReadAt;
  in->OnRead = OnRead;
  in->Host = this;
  *inStream = in;
  return S_OK;
}

HRESULT KCALL ExtractCallback::GetDiskProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  std::memset(value, 0, sizeof *value);
  const auto file = Files.find(index);
  if (propId == host::kpidSize && file != Files.end()) {
    value->vt = VT_UI8;
    value->uhVal.QuadPart = file->second.size();
  }
  return Fault("GetDiskProperty", index);
}

}  // namespace fakes
