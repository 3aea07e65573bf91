#include "plugin/lists/runs/HashListUpdate.h"

#include <algorithm>

#include "base/PropValue.h"
#include "base/ReturnIfNotOk.h"
#include "base/Stream.h"
#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/DigestText.h"
#include "plugin/lists/text/LineComposer.h"
#include "plugin/lists/text/ListDialect.h"

HashListUpdate::HashListUpdate(const RunDescription& run, const HashList* list,
                               host::ISequentialOutStream* outStream, host::IArchiveUpdateCallback* callback)
    : FRun(run),
      FList(list),
      FOut(ComPtr<host::ISequentialOutStream>::Share(outStream)),
      FCallback(ComPtr<host::IArchiveUpdateCallback>::Share(callback)),
      FProgress(callback) {}

HRESULT HashListUpdate::Run(host::UInt32 numItems) {
  // Nothing to write, unless an open list keeps lines of its own.
  if (numItems == 0 && FList == nullptr) return FProgress.Report();

  const HashListEncoding& encoding = FRun.Encoding;
  if (!encoding.Preamble.empty()) RETURN_IF_NOT_OK(Write(encoding.Preamble));
  RETURN_IF_NOT_OK(CheckUpdateItems(numItems));
  RETURN_IF_NOT_OK(FCallback->SetTotal(FTotal));
  FProgress.Start();

  RETURN_IF_NOT_OK(ToCodePage(encoding.CodePage, encoding.LineBreak, FLineBreak));
  std::unique_ptr<HashWorkers> workers;
  if (FRun.Threads > 1 && FFiles > 1) {
    HashingLimits limits;
    limits.Threads = FRun.Threads;
    RETURN_IF_NOT_OK(StartHashWorkers(FRun.Hashers, limits, FProgress, workers));
  }
  FWorkers = workers.get();
  for (host::UInt32 i = 0; i < numItems; ++i) {
    const HRESULT hr = UpdateItem(i);
    if (hr == S_OK) continue;
    // The files before this one come first: the first of them that fails is
    // what ends the run, as when they are hashed one after another. The
    // host's answer to progress (a cancel) ends it at once.
    if (!FFailed && !FStopped) RETURN_IF_NOT_OK(FinishPending());
    return hr;
  }
  RETURN_IF_NOT_OK(FinishPending());
  FWorkers = nullptr;
  workers.reset();
  FBuffer = {};
  if (FList != nullptr) RETURN_IF_NOT_OK(WriteInListOrder(FPlaced, FAdded, FLineBreak));
  return FProgress.Report();
}

HRESULT HashListUpdate::UpdateItem(host::UInt32 i) {
  ItemInfo info;
  RETURN_IF_NOT_OK(GetItemInfo(i, info));
  if (info.NewData == 0) {
    std::string bytes;
    RETURN_IF_NOT_OK(KeptLine(i, info, bytes));
    return Place({info.IndexInArchive, std::move(bytes), {}, true});
  }
  bool isDir = false;
  RETURN_IF_NOT_OK(IsDirectory(i, isDir));
  // The host learns of every new item as 7-Zip's own hash lists tell it:
  // the item's stream asked for (the host shows and counts the item then,
  // folders too), and the result once it is done. A folder is read from
  // nowhere and gets no line.
  if (isDir) {
    RETURN_IF_NOT_OK(OpenFolder(i));
    return FCallback->SetOperationResult(host::kUpdateResultOk);
  }
  if (FWorkers) return HandOver(i, info);
  std::string bytes;
  RETURN_IF_NOT_OK(NewLine(i, bytes));
  // Only after the line is made: a file that failed ended the run.
  RETURN_IF_NOT_OK(FCallback->SetOperationResult(host::kUpdateResultOk));
  return Place({info.IndexInArchive, std::move(bytes), {}, true});
}

HRESULT HashListUpdate::HandOver(host::UInt32 i, const ItemInfo& info) {
  WStr path;
  RETURN_IF_NOT_OK(GetPath(i, path));
  while (!FWorkers->HasRoom()) {
    RETURN_IF_NOT_OK(Told(FWorkers->Step()));
    RETURN_IF_NOT_OK(Collect());
  }
  ComPtr<host::ISequentialInStream> stream;
  // S_FALSE (a file the host could not open) ends the update like any other
  // result but S_OK, as NewLine says.
  RETURN_IF_NOT_OK(FCallback->GetStream(i, stream.Out()));
  if (!stream) return E_FAIL;
  RETURN_IF_NOT_OK(NameFits(path));
  RETURN_IF_NOT_OK(Told(FWorkers->Add(i, std::move(stream))));
  FPending.push_back({info.IndexInArchive, {}, std::move(path), false});
  // A file hashed at once (a small one) gets its line, or ends the run,
  // before its result, as when files are hashed one after another. A larger
  // one is read on while the next items are opened: the host hears its
  // result now, and a digest that fails later still ends the run.
  RETURN_IF_NOT_OK(Collect());
  return FCallback->SetOperationResult(host::kUpdateResultOk);
}

HRESULT HashListUpdate::Collect() {
  while (auto done = FWorkers->TakeFinished()) {
    // Files come back in the order they were handed over, as their lines
    // wait in FPending.
    auto waiting =
        std::find_if(FPending.begin(), FPending.end(), [](const PendingLine& p) { return !p.Ready; });
    if (waiting == FPending.end()) return E_UNEXPECTED;
    HRESULT hr = done->ReadResult;
    if (hr == S_OK) hr = LineFor(waiting->Path, done->Digest, waiting->Bytes);
    if (hr != S_OK) {
      FFailed = true;
      return hr;
    }
    waiting->Ready = true;
  }
  while (!FPending.empty() && FPending.front().Ready) {
    PendingLine line = std::move(FPending.front());
    FPending.pop_front();
    RETURN_IF_NOT_OK(Emit(line.IndexInArchive, std::move(line.Bytes)));
  }
  return S_OK;
}

HRESULT HashListUpdate::FinishPending() {
  if (!FWorkers) return S_OK;
  for (;;) {
    RETURN_IF_NOT_OK(Collect());
    if (FWorkers->Empty()) return S_OK;
    RETURN_IF_NOT_OK(Told(FWorkers->Step()));
  }
}

HRESULT HashListUpdate::Told(HRESULT progress) {
  FStopped |= progress != S_OK;
  return progress;
}

HRESULT HashListUpdate::Place(PendingLine line) {
  // Behind a line still being hashed, a line waits its turn.
  if (!FPending.empty()) {
    FPending.push_back(std::move(line));
    return S_OK;
  }
  return Emit(line.IndexInArchive, std::move(line.Bytes));
}

HRESULT HashListUpdate::Emit(host::UInt32 indexInArchive, std::string bytes) {
  // Onto an open list, the lines wait for their places.
  if (FList == nullptr) return Write(bytes + FLineBreak);
  if (indexInArchive < FList->Count()) {
    FPlaced.emplace(indexInArchive, std::move(bytes));
  } else {
    FAdded.push_back(std::move(bytes));
  }
  return S_OK;
}

HRESULT HashListUpdate::WriteInListOrder(const std::multimap<std::size_t, std::string>& placed,
                                         const std::vector<std::string>& added,
                                         const std::string& lineBreak) {
  std::string out;
  const auto flush = [&] {
    const HRESULT hr = Write(out);
    out.clear();
    return hr;
  };
  std::size_t other = 0;
  // The lines that are no entries, up to the one before `end`.
  const auto others = [&](std::size_t end) {
    for (; other < end; ++other) {
      std::string bytes;
      RETURN_IF_NOT_OK(OtherLine(other, bytes));
      out += bytes + lineBreak;
    }
    return S_OK;
  };
  const std::size_t count = FList->Count();
  for (std::size_t entry = 0; entry < count; ++entry) {
    RETURN_IF_NOT_OK(others(FList->OthersBefore(entry)));
    // A deleted entry leaves no line.
    const auto [first, last] = placed.equal_range(entry);
    for (auto it = first; it != last; ++it) out += it->second + lineBreak;
    if (out.size() >= (1u << 20)) RETURN_IF_NOT_OK(flush());
  }
  // A list without entries keeps its lines first; else the new lines follow
  // the last entry, before the lines after it.
  if (count == 0) RETURN_IF_NOT_OK(others(FList->OthersBefore(count)));
  for (const std::string& line : added) out += line + lineBreak;
  RETURN_IF_NOT_OK(others(FList->OthersBefore(count)));
  return flush();
}

HRESULT HashListUpdate::OtherLine(std::size_t j, std::string& bytes) const {
  if (FRun.Encoding.CodePage == FList->CodePage()) {
    bytes = std::string(FList->OtherBytes(j));
    return S_OK;
  }
  return ToCodePage(FRun.Encoding.CodePage, FList->OtherText(j), bytes);
}

HRESULT HashListUpdate::NameFits(const WStr& path) const {
  std::string bytes;
  return ToCodePage(FRun.Encoding.CodePage, path, bytes);
}

HRESULT HashListUpdate::NewLineText(const WStr& path, const BYTE* digest, std::size_t size,
                                    WStr& text) const {
  text = FRun.Style ? ComposeInStyle(*FRun.Style, FRun.Layout, path, FRun.HashName, digest, size)
                    : ComposeLine(FRun.Layout, path, FRun.HashName, digest, size);
  // Windows' text for this error names the cause: "The filename, directory
  // name, or volume label syntax is incorrect."
  constexpr auto kUnreadableName = static_cast<HRESULT>(0x8007007B);
  // A line format without a path or without a digest makes no list that
  // can be read back in the first place; it is written as asked.
  bool hasPath = false, hasDigest = false;
  for (const LinePiece& piece : FRun.Layout) {
    hasPath |= piece.Kind == LinePieceKind::FileName;
    hasDigest |= piece.Kind == LinePieceKind::DigestUpper || piece.Kind == LinePieceKind::DigestLower;
  }
  if (!hasPath || !hasDigest) return S_OK;
  const ListSyntax syntax = MakeListSyntax(FRun.Layout, FRun.HashName, size);
  if (!ReadsBackAs(text, syntax, path, digest, size)) return kUnreadableName;
  return S_OK;
}

HRESULT HashListUpdate::Write(const std::string& bytes) {
  return WriteToStream(FOut.Get(), bytes.data(), static_cast<host::UInt32>(bytes.size()), nullptr);
}

HRESULT HashListUpdate::GetItemInfo(host::UInt32 index, ItemInfo& info) {
  RETURN_IF_NOT_OK(FCallback->GetUpdateItemInfo(index, &info.NewData, &info.NewProps, &info.IndexInArchive));
  // Without new data the item must be an entry of the open list: its line is
  // all there is of it.
  if (info.NewData == 0 && (FList == nullptr || info.IndexInArchive >= FList->Count())) return E_INVALIDARG;
  return S_OK;
}

HRESULT HashListUpdate::IsDirectory(host::UInt32 index, bool& isDir) {
  PropValueHolder value;
  RETURN_IF_NOT_OK(FCallback->GetProperty(index, host::kpidIsDir, value.Ptr()));
  if (value->vt != VT_BOOL) return E_INVALIDARG;
  isDir = value->boolVal != VARIANT_FALSE;
  return S_OK;
}

HRESULT HashListUpdate::GetPath(host::UInt32 index, WStr& path) {
  PropValueHolder value;
  RETURN_IF_NOT_OK(FCallback->GetProperty(index, host::kpidPath, value.Ptr()));
  if (value->vt != VT_BSTR) return E_INVALIDARG;
  path = value->bstrVal ? WStr(value->bstrVal) : WStr();
  return S_OK;
}

HRESULT HashListUpdate::CheckUpdateItems(host::UInt32 numItems) {
  FTotal = 0;
  FFiles = 0;
  for (host::UInt32 i = 0; i < numItems; ++i) {
    ItemInfo info;
    RETURN_IF_NOT_OK(GetItemInfo(i, info));
    if (info.NewData == 0) continue;  // kept: nothing to read
    bool isDir = false;
    RETURN_IF_NOT_OK(IsDirectory(i, isDir));
    if (isDir) continue;
    PropValueHolder size;
    RETURN_IF_NOT_OK(FCallback->GetProperty(i, host::kpidSize, size.Ptr()));
    if (size->vt != VT_UI8) return E_INVALIDARG;
    FTotal += size->uhVal.QuadPart;
    ++FFiles;
  }
  return S_OK;
}

HRESULT HashListUpdate::KeptLine(host::UInt32 index, const ItemInfo& info, std::string& bytes) {
  const std::size_t entry = info.IndexInArchive;
  if (info.NewProps != 0) {
    // Renamed: the digest stays, the line is written anew for the new path.
    WStr path;
    RETURN_IF_NOT_OK(GetPath(index, path));
    WStr text;
    RETURN_IF_NOT_OK(NewLineText(path, FList->Digest(entry), FList->DigestSize(), text));
    return ToCodePage(FRun.Encoding.CodePage, text, bytes);
  }
  if (FRun.Encoding.CodePage == FList->CodePage()) {
    bytes = std::string(FList->LineBytes(entry));  // exactly as it was read
    return S_OK;
  }
  return ToCodePage(FRun.Encoding.CodePage, FList->LineText(entry), bytes);
}

HRESULT HashListUpdate::OpenFolder(host::UInt32 index) {
  ComPtr<host::ISequentialInStream> stream;
  return FCallback->GetStream(index, stream.Out());
}

HRESULT HashListUpdate::NewLine(host::UInt32 index, std::string& bytes) {
  WStr path;
  RETURN_IF_NOT_OK(GetPath(index, path));
  if (!FHasher) FHasher = FRun.Hashers.Make();
  if (!FHasher) return E_FAIL;

  ComPtr<host::ISequentialInStream> stream;
  // S_FALSE (a file the host could not open) ends the update like any other
  // result but S_OK: the host then reports the update as failed and keeps no
  // list, rather than a list that silently lacks the file.
  RETURN_IF_NOT_OK(FCallback->GetStream(index, stream.Out()));
  if (!stream) return E_FAIL;  // nothing to read from: never a line without data
  RETURN_IF_NOT_OK(NameFits(path));

  StreamDigest digest;
  RETURN_IF_NOT_OK(DigestStream(stream.Get(), nullptr, *FHasher, FBuffer, FProgress, digest));
  stream.Reset();
  return LineFor(path, digest, bytes);
}

HRESULT HashListUpdate::LineFor(const WStr& path, const StreamDigest& digest, std::string& bytes) const {
  // A digest the provider could not compute is never written: the update
  // ends with the provider's error, and the host keeps no list.
  RETURN_IF_NOT_OK(digest.Result);
  const std::vector<BYTE> printed = InPrintedOrder(digest.Bytes.data(), digest.Bytes.size());
  WStr text;
  RETURN_IF_NOT_OK(NewLineText(path, printed.data(), printed.size(), text));
  return ToCodePage(FRun.Encoding.CodePage, text, bytes);
}
