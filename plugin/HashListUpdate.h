// One UpdateItems run of a hash-list format: checks the items, then hashes
// every file item and writes its line.
#pragma once

#include <memory>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"

class TqovFormat;

class HashListUpdate {
 public:
  HashListUpdate(const TqovFormat& format, const THashAlgInfo& alg,
                 host::ISequentialOutStream* outStream, host::IArchiveUpdateCallback* callback);
  // Any result other than S_OK from the host ends the run with that result.
  HRESULT Run(host::UInt32 numItems);

  static constexpr host::UInt32 kReadBufferSize = 0x100000;
  static constexpr DWORD kProgressInterval = 500;  // ms of tick count

 private:
  HRESULT CheckUpdateItems(host::UInt32 numItems);
  HRESULT IsDirectory(host::UInt32 index, bool& isDir);
  // digest gets the item's digest text.
  HRESULT HashItem(host::UInt32 index, WStr& digest);

  const TqovFormat& FFormat;
  const THashAlgInfo& FAlg;
  ComPtr<host::ISequentialOutStream> FOut;
  ComPtr<host::IArchiveUpdateCallback> FCallback;
  std::unique_ptr<BYTE[]> FBuffer;
  host::UInt64 FCompleted = 0;
  host::UInt64 FTotal = 0;
  DWORD FLastReport = 0;
};
