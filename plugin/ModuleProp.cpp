#include "plugin/ModuleProp.h"

#include "base/PropValue.h"

namespace {
// What the host asks of the module as a whole.
constexpr PROPID kInterfaceType = 0;
constexpr PROPID kVersion = 1;
// The host's interfaces as a Windows build of 7-Zip lays them out: IUnknown
// without a virtual destructor. A host that expects another layout refuses
// to load a module that names this one.
constexpr ULONG kInterfaceWithoutVirtualDestructor = 0;
}  // namespace

extern "C" HRESULT KCALL GetModuleProp(PROPID propId, PROPVARIANT* value) {
  if (value == nullptr) return E_POINTER;
  // The host hands over a value it may have used before; a type that cannot
  // be cleared is not overwritten.
  if (HRESULT hr = ClearPropValue(value); hr != S_OK) return hr;
  switch (propId) {
    case kInterfaceType:
      value->ulVal = kInterfaceWithoutVirtualDestructor;
      value->vt = VT_UI4;
      break;
    case kVersion:
      // The host shows it as major.minor, the minor with two digits.
      value->ulVal = (static_cast<ULONG>(KORVANE_VERSION_MAJOR) << 16) | KORVANE_VERSION_MINOR;
      value->vt = VT_UI4;
      break;
    default: break;  // nothing else is answered: the value stays empty
  }
  return S_OK;
}
