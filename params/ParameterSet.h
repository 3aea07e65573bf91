// The parameter set: owns the parameters of one format object, keeps them in
// creation order and publishes them to the host through the parameter API.
#pragma once

#include <cstdint>
#include <vector>

#include "base/ComPtr.h"
#include "base/Object7z.h"
#include "interfaces/ParameterApi.h"

class Tqov7zBaseParameter;

class Tqov7zParameterSet : public Implements<Tqov7zObject, ICompressParameterSet, ISmartCompressParameterSet,
                                             ISetCompressCodecsInfo2> {
 public:
  // Normal mode: ICompressParameterSet, and ISetCompressCodecsInfo2 only for
  // a class with a CodecsInfoChanged hook of its own. Smart mode:
  // ISmartCompressParameterSet.
  HRESULT KCALL QueryInterface(REFIID iid, void** object) override;

  // ICompressParameterSet
  void KCALL SetFlagA(host::UInt32 value) override;
  void KCALL ResetToDefaults() override;
  host::UInt32 KCALL GetCount() override;
  HRESULT KCALL GetParameterID(host::UInt32 index, GUID* id) override;
  HRESULT KCALL GetParameterByID(REFGUID id, REFIID iid, void** object) override;
  void KCALL SetFlagB(host::UInt32 value) override;
  // ISetCompressCodecsInfo2
  HRESULT KCALL SetCompressCodecsInfo2(ICompressCodecsInfo2* info) override;
  // ISmartCompressParameterSet (GetCount is shared with ICompressParameterSet)
  HRESULT KCALL GetParameterByIndex(host::Int32 index, REFIID iid, void** object) override;

  // The parameters, in creation order. GetItem raises E_INVALIDARG for an
  // index outside 0..Count()-1; GetItemByID gives the first parameter with
  // the identifier, or null.
  std::int32_t Count() const { return FCount; }
  std::int32_t Capacity() const { return static_cast<std::int32_t>(FItemArray.size()); }
  Tqov7zBaseParameter* GetItem(std::int32_t index) const;
  Tqov7zBaseParameter* GetItemByID(const GUID& id) const;

  // Called by the parameter's constructor and destructor.
  void AddParameter(Tqov7zBaseParameter* parameter);
  void RemoveParameter(Tqov7zBaseParameter* parameter);

  bool FlagA() const { return FFlagA; }
  bool FlagB() const { return FFlagB; }
  ICompressCodecsInfo2* CodecsInfo() const { return FCodecsInfo.Get(); }

  // Destroys every parameter, last first.
  virtual void ClearParameters();
  // Runs once after construction, before the first ResetDefaults.
  virtual void InitParameters() {}
  virtual void FlagAChanged(bool /*value*/) {}
  // Every parameter takes its default, in index order; a failure stops the
  // loop and is passed on.
  virtual void ResetDefaults();
  // Must not fail.
  virtual void FlagBChanged(bool /*value*/) {}
  virtual void CodecsInfoChanged(ICompressCodecsInfo2* /*info*/) {}

 protected:
  Tqov7zParameterSet() = default;
  ~Tqov7zParameterSet() override;

  // A class that supplies its own CodecsInfoChanged returns true, and then
  // answers ISetCompressCodecsInfo2.
  virtual bool HasCodecsInfoHook() const { return false; }

  // The steps after construction: InitParameters, then ResetDefaults. A
  // failure destroys the set and is passed on. Concrete sets call it from
  // their factory on the object just made (reference count 0).
  static void AfterConstruction(Tqov7zParameterSet* set);

  bool SmartMode = false;

 private:
  bool FFlagA = false;
  std::vector<Tqov7zBaseParameter*> FItemArray;  // capacity; owned entries 0..FCount-1
  std::int32_t FCount = 0;
  ComPtr<ICompressCodecsInfo2> FCodecsInfo;
  bool FFlagB = false;
};
