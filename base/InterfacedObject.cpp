#include "base/InterfacedObject.h"

HRESULT KCALL TqovInterfacedObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = FindInterface(iid);
  if (*object == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG KCALL TqovInterfacedObject::AddRef() { return static_cast<ULONG>(++FRefCount); }

ULONG KCALL TqovInterfacedObject::Release() {
  const LONG count = --FRefCount;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}
