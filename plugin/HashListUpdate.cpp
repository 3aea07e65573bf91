#include "plugin/HashListUpdate.h"

#include <vector>

#include "base/PropValue.h"
#include "base/Stream.h"
#include "plugin/Format.h"
#include "plugin/HashListText.h"

HashListUpdate::HashListUpdate(const TqovFormat& format, const THashAlgInfo& alg,
                               host::ISequentialOutStream* outStream,
                               host::IArchiveUpdateCallback* callback)
    : FFormat(format),
      FAlg(alg),
      FOut(ComPtr<host::ISequentialOutStream>::Share(outStream)),
      FCallback(ComPtr<host::IArchiveUpdateCallback>::Share(callback)) {}

HRESULT HashListUpdate::Run(host::UInt32 numItems) {
  if (numItems == 0) return FCallback->SetCompleted(&FCompleted);

  const TqovHashParameterSet& params = FFormat.Params();
  const UINT codePage = params.GetCodePage();
  const std::string preamble = params.GetPreamble();
  const WStr lineBreak = params.GetLineBreak();

  if (!preamble.empty()) {
    const HRESULT hr = WriteToStream(FOut.Get(), preamble.data(), static_cast<host::UInt32>(preamble.size()), nullptr);
    if (hr != S_OK) return hr;
  }
  if (HRESULT hr = CheckUpdateItems(numItems); hr != S_OK) return hr;
  if (HRESULT hr = FCallback->SetTotal(FTotal); hr != S_OK) return hr;
  FLastReport = GetTickCount();

  for (host::UInt32 i = 0; i < numItems; ++i) {
    bool isDir = false;
    if (HRESULT hr = IsDirectory(i, isDir); hr != S_OK) return hr;
    if (isDir) continue;  // directories get no line

    PropValueHolder pathValue;
    if (HRESULT hr = FCallback->GetProperty(i, host::kpidPath, pathValue.Ptr()); hr != S_OK) return hr;
    if (pathValue->vt != VT_BSTR) return E_INVALIDARG;
    const WStr path = pathValue->bstrVal ? WStr(pathValue->bstrVal) : WStr();

    WStr digest;
    if (HRESULT hr = HashItem(i, digest); hr != S_OK) return hr;

    const WStr line = ComposeLine(params.GetLineFormat(), path, FAlg.Name, digest) + lineBreak;
    const std::string bytes = ToCodePage(codePage, line);
    const HRESULT hr = WriteToStream(FOut.Get(), bytes.data(), static_cast<host::UInt32>(bytes.size()), nullptr);
    if (hr != S_OK) return hr;
  }
  FBuffer.reset();
  return FCallback->SetCompleted(&FCompleted);
}

HRESULT HashListUpdate::IsDirectory(host::UInt32 index, bool& isDir) {
  PropValueHolder value;
  if (HRESULT hr = FCallback->GetProperty(index, host::kpidIsDir, value.Ptr()); hr != S_OK) return hr;
  if (value->vt != VT_BOOL) return E_INVALIDARG;
  isDir = value->boolVal != VARIANT_FALSE;
  return S_OK;
}

HRESULT HashListUpdate::CheckUpdateItems(host::UInt32 numItems) {
  FTotal = 0;
  for (host::UInt32 i = 0; i < numItems; ++i) {
    host::Int32 newData = 0, newProps = 0;
    host::UInt32 indexInArchive = 0;
    if (HRESULT hr = FCallback->GetUpdateItemInfo(i, &newData, &newProps, &indexInArchive); hr != S_OK)
      return hr;
    // A hash list is always written anew: every item must be new.
    if (newData == 0 || newProps == 0 || indexInArchive != 0xFFFFFFFFu) return E_INVALIDARG;
    bool isDir = false;
    if (HRESULT hr = IsDirectory(i, isDir); hr != S_OK) return hr;
    if (isDir) continue;
    PropValueHolder size;
    if (HRESULT hr = FCallback->GetProperty(i, host::kpidSize, size.Ptr()); hr != S_OK) return hr;
    if (size->vt != VT_UI8) return E_INVALIDARG;
    FTotal += size->uhVal.QuadPart;
  }
  return S_OK;
}

HRESULT HashListUpdate::HashItem(host::UInt32 index, WStr& digest) {
  digest.clear();
  ComPtr<host::IHasher> hasher = FFormat.CreateItemHasher();
  if (!hasher) return E_FAIL;
  hasher->Init();
  if (!FBuffer) FBuffer = std::make_unique<BYTE[]>(kReadBufferSize);

  ComPtr<host::ISequentialInStream> stream;
  // S_FALSE (a file the host could not open) ends the update like any other
  // result but S_OK: the host then reports the update as failed and keeps no
  // list, rather than a list that silently lacks the file.
  if (HRESULT hr = FCallback->GetStream(index, stream.Out()); hr != S_OK) return hr;
  if (!stream) return E_FAIL;  // nothing to read from: never a line without data

  for (;;) {
    host::UInt32 processed = 0;
    if (HRESULT hr = stream->Read(FBuffer.get(), kReadBufferSize, &processed); hr != S_OK) return hr;
    if (processed == 0) break;
    hasher->Update(FBuffer.get(), processed);
    FCompleted += processed;
    const DWORD now = GetTickCount();
    if (static_cast<DWORD>(now - FLastReport) > kProgressInterval) {
      const HRESULT hr = FCallback->SetCompleted(&FCompleted);
      FLastReport = now;
      if (hr != S_OK) return hr;
    }
  }
  stream.Reset();
  std::vector<BYTE> bytes(hasher->GetDigestSize());
  hasher->Final(bytes.data());
  digest = DigestToHex(bytes.data(), bytes.size());
  return S_OK;
}
