#include "plugin/HashListCheck.h"

#include <cstring>
#include <vector>

#include "base/PropValue.h"
#include "base/Stream.h"
#include "plugin/Format.h"
#include "plugin/HashListText.h"

HashListCheck::HashListCheck(const TqovFormat& format, TqovHashList& list,
                             host::IArchiveExtractCallback* callback, host::IArchiveUpdateCallbackFile* files)
    : FFormat(format),
      FList(list),
      FCallback(ComPtr<host::IArchiveExtractCallback>::Share(callback)),
      FFiles(ComPtr<host::IArchiveUpdateCallbackFile>::Share(files)) {}

HRESULT HashListCheck::Run(const host::UInt32* indices, host::UInt32 numItems) {
  const bool all = numItems == 0xFFFFFFFFu;
  if (all) numItems = static_cast<host::UInt32>(FList.Count());
  if (numItems == 0) return S_OK;
  if (!all && indices == nullptr) return E_INVALIDARG;
  for (host::UInt32 i = 0; !all && i < numItems; ++i)
    if (indices[i] >= FList.Count()) return E_INVALIDARG;

  FHasher = FFormat.CreateItemHasher();
  if (!FHasher || FHasher->GetDigestSize() != FList.DigestSize()) return E_FAIL;
  if (HRESULT hr = SetTotal(all ? nullptr : indices, numItems); hr != S_OK) return hr;
  FBuffer = std::make_unique<BYTE[]>(kReadBufferSize);
  FLastReport = GetTickCount();
  for (host::UInt32 i = 0; i < numItems; ++i) {
    if (HRESULT hr = CheckEntry(all ? i : indices[i]); hr != S_OK) return hr;
  }
  return FCallback->SetCompleted(&FCompleted);
}

HRESULT HashListCheck::SetTotal(const host::UInt32* indices, host::UInt32 numItems) {
  // The sizes are the files' on disk, where the host can tell them.
  auto disk = QueryAs<host::IArchiveGetDiskProperty>(FCallback.Get());
  if (!disk) return S_OK;
  host::UInt64 total = 0;
  for (host::UInt32 i = 0; i < numItems; ++i) {
    PropValueHolder size;
    if (HRESULT hr = disk->GetDiskProperty(indices ? indices[i] : i, host::kpidSize, size.Ptr()); hr != S_OK)
      return hr;
    if (size->vt == VT_UI8) total += size->uhVal.QuadPart;
  }
  return FCallback->SetTotal(total);
}

HRESULT HashListCheck::CheckEntry(host::UInt32 index) {
  ComPtr<host::ISequentialInStream> in;
  if (HRESULT hr = FFiles->GetStream2(index, in.Out(), host::kNotifyHashRead); hr != S_OK) return hr;
  // The host could not open the file and has reported that itself.
  if (!in) return S_OK;
  ComPtr<host::ISequentialOutStream> out;
  if (HRESULT hr = FCallback->GetStream(index, out.Out(), host::kAskTest); hr != S_OK) return hr;
  if (HRESULT hr = FCallback->PrepareOperation(host::kAskReadExternal); hr != S_OK) return hr;

  FHasher->Init();
  host::UInt64 size = 0;
  for (;;) {
    host::UInt32 processed = 0;
    if (HRESULT hr = in->Read(FBuffer.get(), kReadBufferSize, &processed); hr != S_OK) return hr;
    if (processed == 0) break;
    FHasher->Update(FBuffer.get(), processed);
    // A host that asks for the data gets it as it was read.
    if (out) {
      if (HRESULT hr = WriteToStream(out.Get(), FBuffer.get(), processed, nullptr); hr != S_OK) return hr;
    }
    FCompleted += processed;
    size += processed;
    if (HRESULT hr = Progress(); hr != S_OK) return hr;
  }
  in.Reset();
  out.Reset();
  // The host asks for the size when it counts the file, after the result.
  FList.SetTestedSize(index, size);

  // The digest as a list line shows it, back in the list's byte order.
  std::vector<BYTE> digest(FList.DigestSize()), shown(FList.DigestSize());
  FHasher->Final(digest.data());
  HexToBytes(DigestToHex(digest.data(), digest.size()), shown.data());
  const bool same = shown.empty() || std::memcmp(shown.data(), FList.Digest(index), shown.size()) == 0;
  return FCallback->SetOperationResult(same ? host::kOpResultOk : host::kOpResultCrcError);
}

HRESULT HashListCheck::Progress() {
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - FLastReport) <= kProgressInterval) return S_OK;
  FLastReport = now;
  return FCallback->SetCompleted(&FCompleted);
}
