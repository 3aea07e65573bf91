// A scripted host for reading lists: a stream over bytes, and an extract
// callback that opens "files" from a table, as the host does for a hash
// list's test run.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/InterfacedObject.h"
#include "interfaces/Host7z.h"
#include "tests/unit/support/FaultScript.h"

namespace fakes {

class MemoryInStream : public ComObject<host::IInStream> {
 public:
  explicit MemoryInStream(std::string data) : FData(std::move(data)) {}
  HRESULT KCALL Read(void* data, host::UInt32 size, host::UInt32* processed) override;
  HRESULT KCALL Seek(std::int64_t offset, host::UInt32 origin, host::UInt64* newPosition) override;
  // Seek to the end reports this size instead of the data's (0: the data's).
  host::UInt64 ReportedSize = 0;
  int Reads = 0;

 private:
  std::string FData;
  std::size_t FPos = 0;
};

class ExtractCallback : public ComObject<host::IArchiveExtractCallback, host::IArchiveUpdateCallbackFile,
                                         host::IArchiveGetDiskProperty>,
                        public FaultScript {
 public:
  HRESULT KCALL QueryInterface(REFIID iid, void** object) override;
  HRESULT KCALL SetTotal(host::UInt64 total) override;
  HRESULT KCALL SetCompleted(const host::UInt64* completed) override;
  HRESULT KCALL GetStream(host::UInt32 index, host::ISequentialOutStream** outStream,
                          host::Int32 askExtractMode) override;
  HRESULT KCALL PrepareOperation(host::Int32 askExtractMode) override;
  HRESULT KCALL SetOperationResult(host::Int32 opRes) override;
  HRESULT KCALL GetStream2(host::UInt32 index, host::ISequentialInStream** inStream,
                           host::UInt32 notifyOp) override;
  HRESULT KCALL ReportOperation(host::UInt32, host::UInt32, host::UInt32) override { return S_OK; }
  HRESULT KCALL GetDiskProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;

  // The files by entry index; an entry without one can't be opened (null
  // stream, as the host gives after reporting the error itself).
  std::map<host::UInt32, std::string> Files;
  bool WithFiles = true;  // answers IArchiveUpdateCallbackFile
  bool WithDisk = true;   // answers IArchiveGetDiskProperty
  // Where a scripted "Read" fault starts, in bytes of the file.
  std::size_t FailReadAt = 0;
  // Called at every Read of a file's stream.
  std::function<void()> OnRead;
  // GetStream gives an output stream: the host wants a copy of the data.
  bool WantsCopy = false;
  // The bytes written to those streams.
  std::string Copied;
  // Faults (FaultScript) of the methods by their names, "Read" for a file's;
  // "SetCompleted" counts its calls from 0.

  // What was called, in order: "GetStream2 i", "GetStream i mode",
  // "Prepare mode", "Result r".
  std::vector<std::string> Calls;
  std::vector<host::UInt64> Totals;
  std::vector<host::UInt64> Completed;

 private:
  host::UInt32 FCurrent = 0;
};

}  // namespace fakes
