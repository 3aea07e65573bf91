#include "params/Parameter.h"

#include "base/Bstr.h"
#include "base/Errors.h"
#include "base/LocaleText.h"
#include "base/PropValue.h"
#include "params/ValueConversion.h"

namespace {

// A bound of one of the two number kinds, or 0 (no bound).
std::uint64_t NumberBound(const PROPVARIANT& bound) {
  if (bound.vt == VT_UI4) return bound.ulVal;
  if (bound.vt == VT_UI8) return bound.uhVal.QuadPart;
  return 0;
}

bool MasterTestPasses(const Tqov7zMasterRec& rec) {
  if (rec.Master == nullptr) return true;
  const auto aliasIndex = [&] { return static_cast<host::UInt32>(rec.Master->GetAliasIndex()); };
  switch (rec.Condition) {
    case 0: return (rec.Master->GetFlags() & ParamFlagEnabled) != 0;
    case 1: {
      const PROPVARIANT v = rec.Master->GetValue();
      return !(v.vt == VT_BOOL && v.boolVal == 0);
    }
    case 2: return aliasIndex() == rec.Operand;
    case 3: return aliasIndex() != rec.Operand;
    case 4: return aliasIndex() > rec.Operand;
    case 5: return aliasIndex() >= rec.Operand;
    case 6:
    case 7: return aliasIndex() < rec.Operand;
    default: return true;
  }
}

}  // namespace

Tqov7zParameter::Tqov7zParameter(Tqov7zParameterSet& owner)
    : Tqov7zBaseParameter(owner),
      Flags(ParamFlag1 | ParamFlagEnabled),
      MinValue(EmptyValue()),
      MaxValue(EmptyValue()),
      Value(EmptyValue()) {}

// A kind that ClearPropValue refuses holds nothing it could free; a
// destructor raises nothing.
Tqov7zParameter::~Tqov7zParameter() {
  ClearPropValue(&MinValue);
  ClearPropValue(&MaxValue);
  ClearPropValue(&Value);
}

const WCHAR* Tqov7zParameter::GetPropertyName() const {
  return PropertyName.empty() ? nullptr : PropertyName.c_str();
}

void Tqov7zParameter::SetFlag(host::UInt32 flag, bool on) {
  if (on) Flags |= flag;
  else Flags &= ~flag;
}

void Tqov7zParameter::SetStrict(bool on) {
  if (on) Flags |= ParamFlagStrict | ParamFlagList;
  else Flags &= ~ParamFlagStrict;
}

host::UInt32 Tqov7zParameter::GetFlags() const {
  host::UInt32 result = Flags;
  for (const auto& rec : Masters)
    if (!MasterTestPasses(rec)) result &= ~ParamFlagEnabled;
  return result;
}

void Tqov7zParameter::CheckBounds(const PROPVARIANT& candidate) const {
  std::uint64_t measure = 0;
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  switch (VarType) {
    case VT_BSTR:
      measure = TextLength(candidate.bstrVal);
      low = NumberBound(MinValue);
      high = NumberBound(MaxValue);
      break;
    case VT_UI4:
      measure = candidate.ulVal;
      low = MinValue.vt == VT_UI4 ? MinValue.ulVal : 0;
      high = MaxValue.vt == VT_UI4 ? MaxValue.ulVal : 0;
      break;
    case VT_UI8:
      measure = candidate.uhVal.QuadPart;
      low = MinValue.vt == VT_UI8 ? MinValue.uhVal.QuadPart : 0;
      high = MaxValue.vt == VT_UI8 ? MaxValue.uhVal.QuadPart : 0;
      break;
    default: return;
  }
  if ((low != 0 && measure < low) || (high != 0 && measure > high)) RaiseResultError(E_INVALIDARG);
}

bool Tqov7zParameter::SetValue(const PROPVARIANT& value) {
  // Built and checked in a temporary, so that a rejected value leaves Value
  // as it was.
  PropValueHolder temp;
  const HRESULT hr = ConvertValue(value, VarType, *temp.Ptr());
  if (hr != S_OK) RaiseResultError(hr);
  CheckBounds(*temp);
  CheckResult(ConvertValue(*temp, VarType, Value));
  return !ReportNotApplied;
}

void Tqov7zParameter::SetDefault() {
  CheckResult(ClearPropValue(&Value));
  switch (VarType) {
    case VT_EMPTY: return;
    case VT_BSTR:
    case VT_BOOL:
    case VT_UI4:
    case VT_UI8: break;
    default: RaiseResultError(E_INVALIDARG);
  }
  PROPVARIANT value = EmptyValue();
  value.vt = VarType;
  if (GetAliasCount() > 0) {
    // Alias values always have the parameter's kind (AddAlias converts them).
    const PROPVARIANT alias = GetAliasValue(0);
    if (alias.vt == VarType) {
      switch (VarType) {
        case VT_BSTR: value.bstrVal = NewBstr(ValueText(alias)); break;
        case VT_BOOL: value.boolVal = alias.boolVal; break;
        case VT_UI4: value.ulVal = alias.ulVal; break;
        default: value.uhVal.QuadPart = alias.uhVal.QuadPart; break;
      }
    }
  } else if (VarType == VT_UI4 && MinValue.vt == VT_UI4) {
    value.ulVal = MinValue.ulVal;
  } else if (VarType == VT_UI8 && MinValue.vt == VT_UI8) {
    value.uhVal.QuadPart = MinValue.uhVal.QuadPart;
  }
  Value = value;
}
