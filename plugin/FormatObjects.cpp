// CreateObject: format handlers and parameter sets for the host.
#include "plugin/Exports.h"

extern "C" HRESULT KCALL CreateObject(const GUID*, const GUID*, void** object) {
  *object = nullptr;
  return E_INVALIDARG;  // the format handler comes with the hash-list writer
}
