#include "plugin/lists/runs/HashListCheck.h"

#include <algorithm>

#include "base/PropValue.h"
#include "base/ReturnIfNotOk.h"
#include "plugin/lists/text/DigestText.h"

HashListCheck::HashListCheck(const RunDescription& run, HashList& list,
                             host::IArchiveExtractCallback* callback, host::IArchiveUpdateCallbackFile* files)
    : FRun(run),
      FList(list),
      FCallback(ComPtr<host::IArchiveExtractCallback>::Share(callback)),
      FFiles(ComPtr<host::IArchiveUpdateCallbackFile>::Share(files)),
      FProgress(callback) {}

HRESULT HashListCheck::Run(const host::UInt32* indices, host::UInt32 numItems) {
  const bool all = numItems == 0xFFFFFFFFu;
  if (all) numItems = static_cast<host::UInt32>(FList.Count());
  if (numItems == 0) return S_OK;
  if (!all && indices == nullptr) return E_INVALIDARG;
  for (host::UInt32 i = 0; !all && i < numItems; ++i)
    if (indices[i] >= FList.Count()) return E_INVALIDARG;

  FHasher = FRun.Hashers.Make();
  if (!FHasher || FHasher->DigestSize() != FList.DigestSize()) return E_FAIL;
  RETURN_IF_NOT_OK(SetTotal(all ? nullptr : indices, numItems));
  FProgress.Start();
  const auto item = [&](host::UInt32 k) { return all ? k : indices[k]; };
  host::UInt32 next = 0;
  if (FRun.Threads > 1 && numItems > 1) RETURN_IF_NOT_OK(RunWorkers(item, numItems, next));
  for (; next < numItems; ++next) RETURN_IF_NOT_OK(CheckEntry(item(next)));
  return FProgress.Report();
}

HRESULT HashListCheck::RunWorkers(const std::function<host::UInt32(host::UInt32)>& item,
                                  host::UInt32 numItems, host::UInt32& next) {
  HashingLimits limits;
  limits.Threads = FRun.Threads;
  std::unique_ptr<HashWorkers> started;
  RETURN_IF_NOT_OK(StartHashWorkers(FRun.Hashers, limits, FProgress, started));
  // Without workers, the files are checked one after another.
  if (!started) return S_OK;
  HashWorkers& workers = *started;

  // Files are opened ahead while earlier ones are hashed; each one's result
  // comes when every file before it has had its own. Once the host asks for
  // a copy of the data, the rest goes one file after another.
  for (;;) {
    while (auto done = workers.TakeFinished()) RETURN_IF_NOT_OK(Judge(*done));
    if (next < numItems && !FCopies && workers.HasRoom()) {
      const host::UInt32 index = item(next++);
      ComPtr<host::ISequentialInStream> in;
      const HRESULT opened = FFiles->GetStream2(index, in.Out(), host::kNotifyHashRead);
      if (opened != S_OK) {
        // The files before this one first: the first to fail ends the run.
        RETURN_IF_NOT_OK(Finish(workers));
        return opened;
      }
      // The host could not open the file and has reported that itself.
      if (in) RETURN_IF_NOT_OK(workers.Add(index, std::move(in)));
      continue;
    }
    if (workers.Empty()) return S_OK;
    RETURN_IF_NOT_OK(workers.Step());
  }
}

HRESULT HashListCheck::Finish(HashWorkers& workers) {
  for (;;) {
    while (auto done = workers.TakeFinished()) RETURN_IF_NOT_OK(Judge(*done));
    if (workers.Empty()) return S_OK;
    RETURN_IF_NOT_OK(workers.Step());
  }
}

HRESULT HashListCheck::Judge(HashedFile& done) {
  const host::UInt32 index = done.Tag;
  ComPtr<host::ISequentialOutStream> out;
  RETURN_IF_NOT_OK(FCallback->GetStream(index, out.Out(), host::kAskTest));
  RETURN_IF_NOT_OK(FCallback->PrepareOperation(host::kAskReadExternal));
  if (out) {
    // The host wants the data as well (to hash it itself): the file is read
    // again within its own calls, and its result is of that reading.
    FCopies = true;
    ComPtr<host::ISequentialInStream> in;
    RETURN_IF_NOT_OK(FFiles->GetStream2(index, in.Out(), host::kNotifyHashRead));
    if (in) {
      RETURN_IF_NOT_OK(DigestStream(in.Get(), out.Get(), *FHasher, FBuffer, FProgress, done.Digest));
      done.ReadResult = S_OK;
    }
  }
  // A file that could not be read ends the run, as it does when read here.
  RETURN_IF_NOT_OK(done.ReadResult);
  out.Reset();
  return Report(index, done.Digest);
}

HRESULT HashListCheck::SetTotal(const host::UInt32* indices, host::UInt32 numItems) {
  // The sizes are the files' on disk, where the host can tell them.
  auto disk = QueryAs<host::IArchiveGetDiskProperty>(FCallback.Get());
  if (!disk) return S_OK;
  host::UInt64 total = 0;
  for (host::UInt32 i = 0; i < numItems; ++i) {
    PropValueHolder size;
    RETURN_IF_NOT_OK(disk->GetDiskProperty(indices ? indices[i] : i, host::kpidSize, size.Ptr()));
    if (size->vt == VT_UI8) total += size->uhVal.QuadPart;
  }
  return FCallback->SetTotal(total);
}

HRESULT HashListCheck::CheckEntry(host::UInt32 index) {
  ComPtr<host::ISequentialInStream> in;
  RETURN_IF_NOT_OK(FFiles->GetStream2(index, in.Out(), host::kNotifyHashRead));
  // The host could not open the file and has reported that itself.
  if (!in) return S_OK;
  ComPtr<host::ISequentialOutStream> out;
  RETURN_IF_NOT_OK(FCallback->GetStream(index, out.Out(), host::kAskTest));
  RETURN_IF_NOT_OK(FCallback->PrepareOperation(host::kAskReadExternal));

  StreamDigest digest;
  RETURN_IF_NOT_OK(DigestStream(in.Get(), out.Get(), *FHasher, FBuffer, FProgress, digest));
  in.Reset();
  out.Reset();
  return Report(index, digest);
}

HRESULT HashListCheck::Report(host::UInt32 index, const StreamDigest& digest) {
  // The host asks for the size when it counts the file, after the result.
  FList.SetTestedSize(index, digest.Size);

  // The list holds its digests in the order it prints them.
  // A digest that could not be computed tells nothing about the file: the
  // entry's method is unsupported here, and the run goes on.
  if (digest.Result != S_OK) return FCallback->SetOperationResult(host::kOpResultUnsupportedMethod);
  const std::vector<BYTE> printed = InPrintedOrder(digest.Bytes.data(), digest.Bytes.size());
  const bool same = std::equal(printed.begin(), printed.end(), FList.Digest(index));
  return FCallback->SetOperationResult(same ? host::kOpResultOk : host::kOpResultCrcError);
}
