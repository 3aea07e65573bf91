#include "params/ParameterAlias.h"

#include "base/Errors.h"
#include "base/LocaleText.h"
#include "base/PropValue.h"
#include "params/ListGrowth.h"
#include "params/ValueConversion.h"

Tqov7zParameterAlias::Tqov7zParameterAlias(Tqov7zParameterSet& owner) : Tqov7zParameter(owner) {
  Flags |= ParamFlagList;
}

const Tqov7zParameterAliasRec& Tqov7zParameterAlias::Alias(host::UInt32 index) const {
  if (index >= static_cast<host::UInt32>(FAliasCount)) RaiseResultError(E_INVALIDARG);
  return FAliases[index];
}

const WCHAR* Tqov7zParameterAlias::GetAliasDisplayName(host::UInt32 index) const {
  return Alias(index).DisplayName.c_str();
}

PROPVARIANT Tqov7zParameterAlias::GetAliasValue(host::UInt32 index) const { return Alias(index).Value; }

Pqov7zParameterAliasRec Tqov7zParameterAlias::GetItem(std::int32_t index) {
  if (index < 0) RaiseResultError(E_INVALIDARG);
  Alias(static_cast<host::UInt32>(index));
  return &FAliases[static_cast<std::size_t>(index)];
}

void Tqov7zParameterAlias::AddAlias(const WStr& displayName, const PROPVARIANT& value) {
  if (FAliasCount == AliasCapacity()) FAliases.resize(static_cast<std::size_t>(GrowCapacity(FAliasCount)));
  Tqov7zParameterAliasRec& rec = FAliases[static_cast<std::size_t>(FAliasCount)];
  rec.DisplayName = displayName;
  const HRESULT hr = ConvertValue(value, VarType, rec.Value);
  if (hr != S_OK) RaiseResultError(hr);
  ++FAliasCount;
}

void Tqov7zParameterAlias::AddAlias(const WStr& displayName, const WCHAR* text) {
  PROPVARIANT value = EmptyValue();
  value.vt = VT_BSTR;
  value.bstrVal = const_cast<WCHAR*>(text);  // read only up to the terminator
  AddAlias(displayName, value);
}

void Tqov7zParameterAlias::AddAlias(const WStr& displayName, host::UInt32 number) {
  PROPVARIANT value = EmptyValue();
  value.vt = VT_UI4;
  value.ulVal = number;
  AddAlias(displayName, value);
}

void Tqov7zParameterAlias::AddAlias(const WStr& text) { AddAlias(text, text.c_str()); }

void Tqov7zParameterAlias::ClearAliases() {
  for (std::int32_t i = 0; i < FAliasCount; ++i) {
    Tqov7zParameterAliasRec& rec = FAliases[static_cast<std::size_t>(i)];
    rec.DisplayName.clear();
    CheckResult(ClearPropValue(&rec.Value));
  }
  FAliasCount = 0;
}

std::int32_t Tqov7zParameterAlias::FindAliasIndex() const {
  for (std::int32_t i = 0; i < FAliasCount; ++i) {
    const PROPVARIANT& a = FAliases[static_cast<std::size_t>(i)].Value;
    bool equal = false;
    switch (Value.vt) {
      case VT_BSTR: equal = a.vt == VT_BSTR && SameText(a.bstrVal, Value.bstrVal); break;
      case VT_BOOL: equal = a.vt == VT_BOOL && (a.boolVal != 0) == (Value.boolVal != 0); break;
      case VT_UI4: equal = a.vt == VT_UI4 && a.ulVal == Value.ulVal; break;
      case VT_UI8: equal = a.vt == VT_UI8 && a.uhVal.QuadPart == Value.uhVal.QuadPart; break;
      default: break;
    }
    if (equal) return i;
  }
  return 0;
}

bool Tqov7zParameterAlias::SetByValue(const PROPVARIANT& value) {
  if (!IsStrict()) return Tqov7zParameter::SetValue(value);
  switch (VarType) {
    case VT_BOOL: return Tqov7zParameter::SetValue(value);
    case VT_UI4:
    case VT_UI8: {
      PropValueHolder temp;
      const HRESULT hr = ConvertValue(value, VarType, *temp.Ptr());
      if (hr != S_OK) RaiseResultError(hr);
      for (std::int32_t i = 0; i < GetAliasCount(); ++i) {
        const PROPVARIANT a = GetAliasValue(static_cast<host::UInt32>(i));
        const bool equal = VarType == VT_UI4 ? a.vt == VT_UI4 && a.ulVal == temp->ulVal
                                             : a.vt == VT_UI8 && a.uhVal.QuadPart == temp->uhVal.QuadPart;
        if (equal) return Tqov7zParameter::SetValue(a);
      }
      RaiseResultError(E_INVALIDARG);
    }
    case VT_BSTR: {
      PropValueHolder temp;
      const HRESULT hr = ConvertValue(value, VT_BSTR, *temp.Ptr());
      if (hr != S_OK) RaiseResultError(hr);
      // Letter case counts first, so that of two aliases that differ only in
      // case the exact one wins.
      for (const bool ignoreCase : {false, true}) {
        for (std::int32_t i = 0; i < GetAliasCount(); ++i) {
          const PROPVARIANT a = GetAliasValue(static_cast<host::UInt32>(i));
          if (a.vt != VT_BSTR) continue;
          const bool equal =
              ignoreCase ? SameTextIgnoreCase(a.bstrVal, temp->bstrVal) : SameText(a.bstrVal, temp->bstrVal);
          if (equal) return Tqov7zParameter::SetValue(a);
        }
      }
      RaiseResultError(E_INVALIDARG);
    }
    default: RaiseResultError(E_INVALIDARG);
  }
}

bool Tqov7zParameterAlias::SetValue(const PROPVARIANT& value) {
  try {
    return SetByValue(value);
  } catch (const EOleSysError&) {
    // A text that names an alias by its display name, whole or without its
    // leading "@", selects that alias.
    if (value.vt != VT_BSTR) throw;
    const WCHAR* text = ValueText(value);
    for (std::int32_t i = 0; i < GetAliasCount(); ++i) {
      const WCHAR* name = TextOrEmpty(GetAliasDisplayName(static_cast<host::UInt32>(i)));
      const bool matches = (name[0] != 0 && SameTextIgnoreCase(name, text)) ||
                           (name[0] == KW('@') && name[1] != 0 && SameTextIgnoreCase(name + 1, text));
      if (matches) return Tqov7zParameter::SetValue(GetAliasValue(static_cast<host::UInt32>(i)));
    }
    throw;
  }
}
