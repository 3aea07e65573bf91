// A scripted host for update tests: items with data, an update callback that
// can fail any call, item streams, hasher lists and an open callback.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "base/InterfacedObject.h"
#include "interfaces/Host7z.h"
#include "tests/unit/support/FaultScript.h"

namespace fakes {

struct Item {
  WStr path;
  std::string data;
  bool isDir = false;
  // What GetUpdateItemInfo reports (with IndexInArchive below).
  host::Int32 newData = 1;
  host::Int32 newProps = 1;
};

// Serves data in reads of at most MaxPerRead bytes.
class InStream : public ComObject<host::ISequentialInStream> {
 public:
  explicit InStream(std::string data) : FData(std::move(data)) {}
  // Its last release counts in Host's ForeignCalls when on another thread.
  ~InStream() override;
  HRESULT KCALL Read(void* data, host::UInt32 size, host::UInt32* processed) override;
  host::UInt32 MaxPerRead = 0xFFFFFFFFu;
  HRESULT FailWith = S_OK;  // returned by every Read from FailAt on, when not S_OK
  std::size_t FailAt = 0;
  std::function<void()> OnRead;
  // The object that gave the stream (not owned; it outlives the stream).
  const FaultScript* Host = nullptr;

 private:
  std::string FData;
  std::size_t FPos = 0;
};

class UpdateCallback : public ComObject<host::IArchiveUpdateCallback>, public FaultScript {
 public:
  explicit UpdateCallback(std::vector<Item> items) : Items(std::move(items)) {}

  HRESULT KCALL SetTotal(host::UInt64 total) override;
  HRESULT KCALL SetCompleted(const host::UInt64* completed) override;
  HRESULT KCALL GetUpdateItemInfo(host::UInt32 index, host::Int32* newData, host::Int32* newProps,
                                  host::UInt32* indexInArchive) override;
  HRESULT KCALL GetProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL GetStream(host::UInt32 index, host::ISequentialInStream** stream) override;
  HRESULT KCALL SetOperationResult(host::Int32 result) override;

  std::vector<Item> Items;
  // Faults (FaultScript) of "SetTotal", "SetCompleted", "GetUpdateItemInfo",
  // "GetProperty", "GetStream", "Read", "SetOperationResult" (at the index
  // of the last GetStream).
  // Per item: the index in archive reported, a property kind forced.
  std::map<int, host::UInt32> IndexInArchive;
  std::map<std::pair<int, PROPID>, VARTYPE> WrongKind;
  std::map<int, bool> NullStream;
  host::UInt32 MaxPerRead = 0xFFFFFFFFu;
  // Where a scripted "Read" fault starts, in bytes of the file.
  std::size_t FailReadAt = 0;
  std::function<void()> OnRead;

  std::vector<host::UInt64> Totals;
  std::vector<host::UInt64> Completed;
  int OperationResults = 0;
  // "GetStream i" and "Result r", in the order they came.
  std::vector<std::string> Calls;

 private:
  host::UInt32 FCurrent = 0;
};

// A hasher of the host: returns a fixed digest and counts the bytes fed.
class Hasher : public ComObject<host::IHasher> {
 public:
  explicit Hasher(std::string digest) : Digest(std::move(digest)) {}
  void KCALL Init() override { Fed = 0; }
  void KCALL Update(const void*, host::UInt32 size) override { Fed += size; }
  void KCALL Final(BYTE* digest) override;
  host::UInt32 KCALL GetDigestSize() override { return static_cast<host::UInt32>(Digest.size()); }
  std::string Digest;
  std::size_t Fed = 0;
};

// A hasher list of the host: name -> digest of its hashers.
class HasherList : public ComObject<host::IHashers> {
 public:
  explicit HasherList(std::vector<std::pair<WStr, std::string>> hashers) : Hashers(std::move(hashers)) {}
  host::UInt32 KCALL GetNumHashers() override { return static_cast<host::UInt32>(Hashers.size()); }
  HRESULT KCALL GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL CreateHasher(host::UInt32 index, host::IHasher** hasher) override;
  std::vector<std::pair<WStr, std::string>> Hashers;
  int Created = 0;
};

// The host's open callback, with or without the volume callback's name.
class OpenCallback : public ComObject<host::IArchiveOpenCallback, host::IArchiveOpenVolumeCallback> {
 public:
  OpenCallback(bool withVolume, WStr name) : WithVolume(withVolume), Name(std::move(name)) {}
  HRESULT KCALL QueryInterface(REFIID iid, void** object) override;
  HRESULT KCALL SetTotal(const host::UInt64*, const host::UInt64*) override { return S_OK; }
  HRESULT KCALL SetCompleted(const host::UInt64*, const host::UInt64*) override { return S_OK; }
  HRESULT KCALL GetProperty(PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL GetStream(const WCHAR*, host::IInStream** stream) override;
  bool WithVolume;
  WStr Name;
};

}  // namespace fakes
