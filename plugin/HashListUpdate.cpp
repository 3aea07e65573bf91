#include "plugin/HashListUpdate.h"

#include <vector>

#include "base/PropValue.h"
#include "base/Stream.h"
#include "plugin/Format.h"
#include "plugin/HashListText.h"

HashListUpdate::HashListUpdate(const TqovFormat& format, const THashAlgInfo& alg, const TqovHashList* list,
                               HashListEncoding encoding, host::ISequentialOutStream* outStream,
                               host::IArchiveUpdateCallback* callback)
    : FFormat(format),
      FAlg(alg),
      FList(list),
      FEncoding(std::move(encoding)),
      FOut(ComPtr<host::ISequentialOutStream>::Share(outStream)),
      FCallback(ComPtr<host::IArchiveUpdateCallback>::Share(callback)) {}

HRESULT HashListUpdate::Run(host::UInt32 numItems) {
  if (numItems == 0) return FCallback->SetCompleted(&FCompleted);

  if (!FEncoding.Preamble.empty()) {
    if (HRESULT hr = Write(FEncoding.Preamble); hr != S_OK) return hr;
  }
  if (HRESULT hr = CheckUpdateItems(numItems); hr != S_OK) return hr;
  if (HRESULT hr = FCallback->SetTotal(FTotal); hr != S_OK) return hr;
  FLastReport = GetTickCount();

  const std::string lineBreak = ToCodePage(FEncoding.CodePage, FEncoding.LineBreak);
  for (host::UInt32 i = 0; i < numItems; ++i) {
    ItemInfo info;
    if (HRESULT hr = GetItemInfo(i, info); hr != S_OK) return hr;
    std::string bytes;
    if (info.NewData == 0) {
      if (HRESULT hr = KeptLine(i, info, bytes); hr != S_OK) return hr;
    } else {
      bool isDir = false;
      if (HRESULT hr = IsDirectory(i, isDir); hr != S_OK) return hr;
      if (isDir) continue;  // directories get no line
      WStr path, digest;
      if (HRESULT hr = GetPath(i, path); hr != S_OK) return hr;
      if (HRESULT hr = HashItem(i, digest); hr != S_OK) return hr;
      bytes = ToCodePage(FEncoding.CodePage,
                         ComposeLine(FFormat.Params().GetLineFormat(), path, FAlg.Name, digest));
    }
    if (HRESULT hr = Write(bytes + lineBreak); hr != S_OK) return hr;
  }
  FBuffer.reset();
  return FCallback->SetCompleted(&FCompleted);
}

HRESULT HashListUpdate::Write(const std::string& bytes) {
  return WriteToStream(FOut.Get(), bytes.data(), static_cast<host::UInt32>(bytes.size()), nullptr);
}

HRESULT HashListUpdate::GetItemInfo(host::UInt32 index, ItemInfo& info) {
  if (HRESULT hr = FCallback->GetUpdateItemInfo(index, &info.NewData, &info.NewProps, &info.IndexInArchive);
      hr != S_OK)
    return hr;
  // Without new data the item must be an entry of the open list: its line is
  // all there is of it.
  if (info.NewData == 0 && (FList == nullptr || info.IndexInArchive >= FList->Count())) return E_INVALIDARG;
  return S_OK;
}

HRESULT HashListUpdate::IsDirectory(host::UInt32 index, bool& isDir) {
  PropValueHolder value;
  if (HRESULT hr = FCallback->GetProperty(index, host::kpidIsDir, value.Ptr()); hr != S_OK) return hr;
  if (value->vt != VT_BOOL) return E_INVALIDARG;
  isDir = value->boolVal != VARIANT_FALSE;
  return S_OK;
}

HRESULT HashListUpdate::GetPath(host::UInt32 index, WStr& path) {
  PropValueHolder value;
  if (HRESULT hr = FCallback->GetProperty(index, host::kpidPath, value.Ptr()); hr != S_OK) return hr;
  if (value->vt != VT_BSTR) return E_INVALIDARG;
  path = value->bstrVal ? WStr(value->bstrVal) : WStr();
  return S_OK;
}

HRESULT HashListUpdate::CheckUpdateItems(host::UInt32 numItems) {
  FTotal = 0;
  for (host::UInt32 i = 0; i < numItems; ++i) {
    ItemInfo info;
    if (HRESULT hr = GetItemInfo(i, info); hr != S_OK) return hr;
    if (info.NewData == 0) continue;  // kept: nothing to read
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

HRESULT HashListUpdate::KeptLine(host::UInt32 index, const ItemInfo& info, std::string& bytes) {
  const std::size_t entry = info.IndexInArchive;
  if (info.NewProps != 0) {
    // Renamed: the digest stays, the line is written anew for the new path.
    WStr path;
    if (HRESULT hr = GetPath(index, path); hr != S_OK) return hr;
    const WStr digest = BytesToHex(FList->Digest(entry), FList->DigestSize());
    bytes = ToCodePage(FEncoding.CodePage,
                       ComposeLine(FFormat.Params().GetLineFormat(), path, FAlg.Name, digest));
  } else if (FEncoding.CodePage == FList->CodePage()) {
    bytes = std::string(FList->LineBytes(entry));  // exactly as it was read
  } else {
    bytes = ToCodePage(FEncoding.CodePage, FList->LineText(entry));
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
