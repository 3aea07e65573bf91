// One test run (Extract in test mode) of an open hash list: every entry's
// file, opened by the host, is hashed and its digest compared with the list's.
#pragma once

#include <memory>
#include <vector>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "plugin/lists/HashList.h"
#include "plugin/lists/ItemHasher.h"
#include "plugin/lists/RunDescription.h"
#include "plugin/lists/StreamDigest.h"

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
  HRESULT CheckEntry(host::UInt32 index);

  const RunDescription& FRun;
  // Learns the sizes of the files it reads.
  HashList& FList;
  ComPtr<host::IArchiveExtractCallback> FCallback;
  ComPtr<host::IArchiveUpdateCallbackFile> FFiles;
  // One hasher for the whole run, started anew for every file.
  std::unique_ptr<ItemHasher> FHasher;
  std::vector<BYTE> FBuffer;
  RunProgress FProgress;
};
