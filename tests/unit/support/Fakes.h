// Scripted host objects for the tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/InterfacedObject.h"
#include "interfaces/Host7z.h"

namespace fakes {

// Output stream that records what it accepts. It takes at most maxPerWrite
// bytes per call, can report more than it was given, and can fail the Nth call.
class OutStream : public ComObject<host::ISequentialOutStream> {
 public:
  HRESULT KCALL Write(const void* data, host::UInt32 size, host::UInt32* processed) override;

  std::string Bytes;
  int Calls = 0;
  host::UInt32 MaxPerWrite = 0xFFFFFFFFu;  // 0: accepts nothing
  host::UInt32 ExtraReported = 0;          // added to what it reports
  int FailAtCall = 0;                      // 1-based; 0 never
  HRESULT FailWith = E_FAIL;
};

// Codec information that only counts references (the plug-in never calls it
// but for QueryInterface of IHashers).
class CodecsInfo : public ComObject<host::ICompressCodecsInfo> {
 public:
  HRESULT KCALL GetNumMethods(host::UInt32* count) override;
  HRESULT KCALL GetProperty(host::UInt32, PROPID, PROPVARIANT*) override;
  HRESULT KCALL CreateDecoder(host::UInt32, const GUID*, void**) override;
  HRESULT KCALL CreateEncoder(host::UInt32, const GUID*, void**) override;
  // Optional hasher list answered to QueryInterface(IHashers).
  host::IHashers* Hashers = nullptr;
  HRESULT KCALL QueryInterface(REFIID iid, void** object) override;
};

}  // namespace fakes
