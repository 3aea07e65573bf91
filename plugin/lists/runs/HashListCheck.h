// One test run (Extract in test mode) of an open hash list: every entry's
// file, opened by the host, is hashed and its digest compared with the list's;
// several files at once when the run has threads for them (HashWorkers).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "plugin/lists/runs/HashWorkers.h"
#include "plugin/lists/runs/ItemHasher.h"
#include "plugin/lists/runs/RunDescription.h"
#include "plugin/lists/runs/StreamDigest.h"
#include "plugin/lists/text/HashList.h"

class HashListCheck {
 public:
  // run: what the handler describes of the run; it outlives the run.
  HashListCheck(const RunDescription& run, HashList& list, host::IArchiveExtractCallback* callback,
                host::IArchiveUpdateCallbackFile* files);
  // indices: numItems entries, or every entry when numItems is 0xFFFFFFFF.
  // Any result other than S_OK from the host ends the run with that result.
  HRESULT Run(const host::UInt32* indices, host::UInt32 numItems);

 private:
  HRESULT SetTotal(const host::UInt32* indices, host::UInt32 numItems);
  // One entry, its file read and hashed here.
  HRESULT CheckEntry(host::UInt32 index);
  // Several files at once (Threads > 1), from item next on; next stays where
  // the rest must go one after another (all of them when there are no
  // workers: the host's hashers, or no threads).
  HRESULT RunWorkers(const std::function<host::UInt32(host::UInt32)>& item, host::UInt32 numItems,
                     host::UInt32& next);
  // Waits for every file handed over, judging each in turn.
  HRESULT Finish(HashWorkers& workers);
  // The result of a file the workers hashed, told as CheckEntry tells it.
  HRESULT Judge(HashedFile& done);
  // The entry's result from its file's digest.
  HRESULT Report(host::UInt32 index, const StreamDigest& digest);

  const RunDescription& FRun;
  // Learns the sizes of the files it reads.
  HashList& FList;
  ComPtr<host::IArchiveExtractCallback> FCallback;
  ComPtr<host::IArchiveUpdateCallbackFile> FFiles;
  // One hasher for the whole run, started anew for every file.
  std::unique_ptr<ItemHasher> FHasher;
  std::vector<BYTE> FBuffer;
  RunProgress FProgress;
  // The host asked for a copy of a file's data: no more reading ahead.
  bool FCopies = false;
};
