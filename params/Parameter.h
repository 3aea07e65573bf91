// A parameter that stores a typed value with bounds, a flag word and
// enabling conditions. Its owner fills the public fields right after
// construction.
#pragma once

#include <vector>

#include "params/BaseParameter.h"
#include "params/Records.h"

class Tqov7zParameter : public Tqov7zBaseParameter {
 public:
  // Flags 1 and 2 set; kind VT_EMPTY, no bounds, an empty value.
  explicit Tqov7zParameter(Tqov7zParameterSet& owner);
  ~Tqov7zParameter() override;

  // Converts to VarType, checks the bounds, stores (Algorithm in the .cpp).
  bool SetValue(const PROPVARIANT& value) override;
  // The value of alias 0 when there are aliases, else the empty text, false,
  // or the lower bound (0 without one). Raises E_INVALIDARG for a kind
  // outside the five; Value is then empty.
  void SetDefault() override;
  GUID GetID() const override { return ID; }
  host::UInt32 GetAuxA() const override { return AuxA; }
  const WCHAR* GetName() const override { return Name.c_str(); }
  // Flags, with ParamFlagEnabled cleared while a master condition fails.
  host::UInt32 GetFlags() const override;
  VARTYPE GetVarType() const override { return VarType; }
  host::UInt32 GetAuxB() const override { return AuxB; }
  host::UInt32 GetAuxC() const override { return AuxC; }
  PROPVARIANT GetMinValue() const override { return MinValue; }
  PROPVARIANT GetMaxValue() const override { return MaxValue; }
  PROPVARIANT GetValue() const override { return Value; }
  const WCHAR* GetPropertyName() const override;

  void SetParamFlag1(bool on) { SetFlag(ParamFlag1, on); }
  void SetEnabled(bool on) { SetFlag(ParamFlagEnabled, on); }
  void SetListFlag(bool on) { SetFlag(ParamFlagList, on); }
  // true sets ParamFlagStrict and ParamFlagList; false clears ParamFlagStrict only.
  void SetStrict(bool on);
  bool IsStrict() const { return (GetFlags() & ParamFlagStrict) != 0; }

  GUID ID{};
  host::UInt32 AuxA = 0;
  WStr Name;  // display name; may begin with "@"
  host::UInt32 Flags = 0;
  VARTYPE VarType = VT_EMPTY;  // assign before the first alias
  host::UInt32 AuxB = 0;
  host::UInt32 AuxC = 0;
  // Bounds (VT_EMPTY or 0: none) and the current value. The parameter owns
  // them: a text in them is freed with the parameter.
  PROPVARIANT MinValue;
  PROPVARIANT MaxValue;
  PROPVARIANT Value;
  WStr PropertyName;  // empty: none
  std::vector<Tqov7zMasterRec> Masters;
  // While set, SetValue reports false after storing the value.
  bool ReportNotApplied = false;

 private:
  void SetFlag(host::UInt32 flag, bool on);
  // Raises E_INVALIDARG when candidate (of kind VarType) breaks a bound.
  void CheckBounds(const PROPVARIANT& candidate) const;
};
