#include "params/ParameterThunks.h"

#include "base/Boundary.h"
#include "base/LocaleText.h"
#include "params/BaseParameter.h"
#include "params/ValueConversion.h"

namespace {

Tqov7zBaseParameter* Self(ICompressParameter* self) {
  return static_cast<ParameterInterface*>(self)->Parameter;
}

// The getters of ICompressParameter cannot fail by design; should a concrete
// parameter raise all the same, the host gets an empty answer instead of an
// exception.
template <class T, class Body>
T Quiet(T onFailure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onFailure;
  }
}

HRESULT KCALL QueryInterface(ICompressParameter* self, REFIID iid, void** object) {
  return GuardMapped([&] { return Self(self)->QueryInterface(iid, object); });
}

ULONG KCALL AddRef(ICompressParameter* self) { return Self(self)->AddRef(); }

ULONG KCALL Release(ICompressParameter* self) { return Self(self)->Release(); }

GUID* KCALL GetID(KORVANE_RESULT_ARGS(GUID)) {
  *result = Quiet(GUID{}, [&] { return Self(self)->GetID(); });
  return result;
}

host::UInt32 KCALL GetAuxA(ICompressParameter* self) {
  return Quiet(host::UInt32{0}, [&] { return Self(self)->GetAuxA(); });
}

const WCHAR* KCALL GetName(ICompressParameter* self) {
  return Quiet(KW(""), [&] { return TextOrEmpty(Self(self)->GetName()); });
}

host::UInt32 KCALL GetFlags(ICompressParameter* self) {
  return Quiet(host::UInt32{0}, [&] { return Self(self)->GetFlags(); });
}

VARTYPE KCALL GetVarType(ICompressParameter* self) {
  return Quiet(VARTYPE{VT_EMPTY}, [&] { return Self(self)->GetVarType(); });
}

host::UInt32 KCALL GetAuxB(ICompressParameter* self) {
  return Quiet(host::UInt32{0}, [&] { return Self(self)->GetAuxB(); });
}

host::UInt32 KCALL GetAuxC(ICompressParameter* self) {
  return Quiet(host::UInt32{0}, [&] { return Self(self)->GetAuxC(); });
}

PROPVARIANT* KCALL GetMinValue(KORVANE_RESULT_ARGS(PROPVARIANT)) {
  *result = Quiet(EmptyValue(), [&] { return Self(self)->GetMinValue(); });
  return result;
}

PROPVARIANT* KCALL GetMaxValue(KORVANE_RESULT_ARGS(PROPVARIANT)) {
  *result = Quiet(EmptyValue(), [&] { return Self(self)->GetMaxValue(); });
  return result;
}

PROPVARIANT* KCALL GetValue(KORVANE_RESULT_ARGS(PROPVARIANT)) {
  *result = Quiet(EmptyValue(), [&] { return Self(self)->GetValue(); });
  return result;
}

HRESULT KCALL SetValue(ICompressParameter* self, const PROPVARIANT* value) {
  return GuardMapped([&] {
    if (value == nullptr) return E_POINTER;
    return Self(self)->SetValue(*value) ? S_OK : S_FALSE;
  });
}

const WCHAR* KCALL GetPropertyName(ICompressParameter* self) {
  return Quiet(static_cast<const WCHAR*>(nullptr), [&] { return Self(self)->GetPropertyName(); });
}

host::Int32 KCALL GetAliasCount(ICompressParameter* self) {
  return Quiet(host::Int32{0}, [&] { return Self(self)->GetAliasCount(); });
}

host::Int32 KCALL GetAliasIndex(ICompressParameter* self) {
  return Quiet(host::Int32{0}, [&] { return Self(self)->GetAliasIndex(); });
}

const WCHAR* KCALL GetAliasDisplayName(ICompressParameter* self, host::UInt32 index) {
  return Quiet(static_cast<const WCHAR*>(nullptr), [&] { return Self(self)->GetAliasDisplayName(index); });
}

PROPVARIANT* KCALL GetAliasValue(KORVANE_RESULT_ARGS(PROPVARIANT, host::UInt32 index)) {
  *result = Quiet(EmptyValue(), [&] { return Self(self)->GetAliasValue(index); });
  return result;
}

void* KCALL GetAliasIcon(ICompressParameter* self, host::UInt32 a, host::UInt32 b, host::UInt32 c) {
  return Quiet(static_cast<void*>(nullptr), [&] { return Self(self)->GetAliasIcon(a, b, c); });
}

}  // namespace

// Designated in declaration order, so the compiler checks every slot's name.
const ParameterMethodTable ParameterMethods = {
    .QueryInterface = QueryInterface,
    .AddRef = AddRef,
    .Release = Release,
    .GetID = GetID,
    .GetAuxA = GetAuxA,
    .GetName = GetName,
    .GetFlags = GetFlags,
    .GetVarType = GetVarType,
    .GetAuxB = GetAuxB,
    .GetAuxC = GetAuxC,
    .GetMinValue = GetMinValue,
    .GetMaxValue = GetMaxValue,
    .GetValue = GetValue,
    .SetValue = SetValue,
    .GetPropertyName = GetPropertyName,
    .GetAliasCount = GetAliasCount,
    .GetAliasIndex = GetAliasIndex,
    .GetAliasDisplayName = GetAliasDisplayName,
    .GetAliasValue = GetAliasValue,
    .GetAliasIcon = GetAliasIcon,
};
