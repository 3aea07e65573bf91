#include "plugin/lists/runs/StreamDigest.h"

#include "base/ReturnIfNotOk.h"
#include "base/Stream.h"

HRESULT RunProgress::Add(host::UInt64 bytes) {
  FCompleted += bytes;
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - FLastReport) <= kProgressInterval) return S_OK;
  FLastReport = now;
  return Report();
}

HRESULT DigestStream(host::ISequentialInStream* in, host::ISequentialOutStream* copy, ItemHasher& hasher,
                     std::vector<BYTE>& buffer, RunProgress& progress, StreamDigest& digest) {
  if (buffer.size() < kReadBufferSize) buffer.resize(kReadBufferSize);
  digest.Size = 0;
  digest.Result = E_UNEXPECTED;
  hasher.Start();
  for (;;) {
    host::UInt32 processed = 0;
    RETURN_IF_NOT_OK(in->Read(buffer.data(), kReadBufferSize, &processed));
    if (processed == 0) break;
    hasher.Add(buffer.data(), processed);
    // A host that asks for the data gets it as it was read.
    if (copy) RETURN_IF_NOT_OK(WriteToStream(copy, buffer.data(), processed, nullptr));
    digest.Size += processed;
    RETURN_IF_NOT_OK(progress.Add(processed));
  }
  digest.Bytes.assign(hasher.DigestSize(), 0);
  // A digest the provider could not compute comes back as zeros with the
  // provider's error in Result; the run refuses it.
  digest.Result = hasher.Finish(digest.Bytes.data());
  return S_OK;
}
