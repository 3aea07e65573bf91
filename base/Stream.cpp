#include "base/Stream.h"

HRESULT WriteToStream(host::ISequentialOutStream* stream, const void* data, host::UInt32 size,
                      host::UInt32* processed) {
  if (processed) *processed = 0;
  auto bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    host::UInt32 written = 0;
    const HRESULT hr = stream->Write(bytes, size, &written);
    if (hr != S_OK) return hr;
    if (written == 0) return S_FALSE;
    if (written > size) return E_FAIL;
    bytes += written;
    size -= written;
    if (processed) *processed += written;
  }
  return S_OK;
}
