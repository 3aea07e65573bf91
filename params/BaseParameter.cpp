#include "params/BaseParameter.h"

#include "params/ParameterSet.h"
#include "params/ParameterThunks.h"
#include "params/ValueConversion.h"

Tqov7zBaseParameter::Tqov7zBaseParameter(Tqov7zParameterSet& owner) : FOwner(&owner) {
  FInterface.Methods = &ParameterMethods;
  FInterface.Parameter = this;
  FOwner->AddParameter(this);
}

Tqov7zBaseParameter::~Tqov7zBaseParameter() {
  if (FOwner) FOwner->RemoveParameter(this);
}

PROPVARIANT Tqov7zBaseParameter::GetAliasValue(host::UInt32 /*index*/) const { return EmptyValue(); }

bool Tqov7zBaseParameter::SetAsText(const WCHAR* text) {
  PROPVARIANT value = EmptyValue();
  value.vt = VT_BSTR;
  // Read only up to the terminator, so a plain text serves as the string.
  value.bstrVal = const_cast<WCHAR*>(text);
  return SetValue(value);
}

bool Tqov7zBaseParameter::SetAsUInt32(host::UInt32 number) {
  PROPVARIANT value = EmptyValue();
  value.vt = VT_UI4;
  value.ulVal = number;
  return SetValue(value);
}

HRESULT Tqov7zBaseParameter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualGUID(iid, ICompressParameterAlias::iid) && !HasAliases()) return E_NOINTERFACE;
  if (IsEqualGUID(iid, ICompressParameterAliasIcon::iid) && !HasAliasIcons()) return E_NOINTERFACE;
  // All three interfaces (and the parameter's IUnknown) are one pointer.
  if (IsEqualGUID(iid, ICompressParameterAliasIcon::iid) || IsEqualGUID(iid, ICompressParameterAlias::iid) ||
      IsEqualGUID(iid, ICompressParameter::iid) || IsEqualGUID(iid, IID_IUnknown)) {
    *object = Interface();
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG Tqov7zBaseParameter::AddRef() { return FOwner->AddRef(); }

ULONG Tqov7zBaseParameter::Release() { return FOwner->Release(); }
