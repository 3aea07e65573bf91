// One test run (Extract in test mode) of an open hash list: every entry's
// file, opened by the host, is hashed and its digest compared with the list's.
#pragma once

#include <memory>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "plugin/HashList.h"

class TqovFormat;

class HashListCheck {
 public:
  HashListCheck(const TqovFormat& format, TqovHashList& list, host::IArchiveExtractCallback* callback,
                host::IArchiveUpdateCallbackFile* files);
  // indices: numItems entries, or every entry when numItems is 0xFFFFFFFF.
  // Any result other than S_OK from the host ends the run with that result.
  HRESULT Run(const host::UInt32* indices, host::UInt32 numItems);

  static constexpr host::UInt32 kReadBufferSize = 0x100000;
  static constexpr DWORD kProgressInterval = 500;  // ms of tick count

 private:
  HRESULT SetTotal(const host::UInt32* indices, host::UInt32 numItems);
  HRESULT CheckEntry(host::UInt32 index);
  HRESULT Progress();

  const TqovFormat& FFormat;
  // Learns the sizes of the files it reads.
  TqovHashList& FList;
  ComPtr<host::IArchiveExtractCallback> FCallback;
  ComPtr<host::IArchiveUpdateCallbackFile> FFiles;
  // One hasher for the whole run, started anew for every file.
  ComPtr<host::IHasher> FHasher;
  std::unique_ptr<BYTE[]> FBuffer;
  host::UInt64 FCompleted = 0;
  DWORD FLastReport = 0;
};
