// One UpdateItems run of a hash-list format: checks the items, then writes a
// line for every file item: hashed anew for new data, or the line of an
// entry kept from the list that was opened.
#pragma once

#include <memory>
#include <string>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"
#include "plugin/HashList.h"

class TqovFormat;

// The bytes around the lines of one run.
struct HashListEncoding {
  UINT CodePage = CP_ACP;
  std::string Preamble;
  WStr LineBreak;
};

class HashListUpdate {
 public:
  // list: the list the handler has open, or null.
  HashListUpdate(const TqovFormat& format, const THashAlgInfo& alg, const TqovHashList* list,
                 HashListEncoding encoding, host::ISequentialOutStream* outStream,
                 host::IArchiveUpdateCallback* callback);
  // Any result other than S_OK from the host ends the run with that result.
  HRESULT Run(host::UInt32 numItems);

  static constexpr host::UInt32 kReadBufferSize = 0x100000;
  static constexpr DWORD kProgressInterval = 500;  // ms of tick count

 private:
  struct ItemInfo {
    host::Int32 NewData = 0, NewProps = 0;
    host::UInt32 IndexInArchive = 0;
  };
  HRESULT GetItemInfo(host::UInt32 index, ItemInfo& info);
  HRESULT CheckUpdateItems(host::UInt32 numItems);
  HRESULT IsDirectory(host::UInt32 index, bool& isDir);
  HRESULT GetPath(host::UInt32 index, WStr& path);
  // The line of an entry kept from the list (path and digest as they were,
  // or a new path with the old digest).
  HRESULT KeptLine(host::UInt32 index, const ItemInfo& info, std::string& bytes);
  // digest gets the item's digest text.
  HRESULT HashItem(host::UInt32 index, WStr& digest);
  HRESULT Write(const std::string& bytes);

  const TqovFormat& FFormat;
  const THashAlgInfo& FAlg;
  const TqovHashList* const FList;
  const HashListEncoding FEncoding;
  ComPtr<host::ISequentialOutStream> FOut;
  ComPtr<host::IArchiveUpdateCallback> FCallback;
  std::unique_ptr<BYTE[]> FBuffer;
  host::UInt64 FCompleted = 0;
  host::UInt64 FTotal = 0;
  DWORD FLastReport = 0;
};
