#include "params/ParameterSet.h"

#include "base/Boundary.h"
#include "base/Errors.h"
#include "params/BaseParameter.h"
#include "params/ListGrowth.h"

Tqov7zParameterSet::~Tqov7zParameterSet() {
  ClearParameters();
  FItemArray = {};
  FCodecsInfo.Reset();
}

void Tqov7zParameterSet::AfterConstruction(Tqov7zParameterSet* set) {
  try {
    set->InitParameters();
    set->ResetDefaults();
  } catch (...) {
    delete set;
    throw;
  }
}

HRESULT KCALL Tqov7zParameterSet::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (SmartMode) {
    if (IsEqualGUID(iid, ICompressParameterSet::iid) || IsEqualGUID(iid, ISetCompressCodecsInfo2::iid))
      return E_NOINTERFACE;
  } else {
    if (IsEqualGUID(iid, ISetCompressCodecsInfo2::iid) && !HasCodecsInfoHook()) return E_NOINTERFACE;
    if (IsEqualGUID(iid, ISmartCompressParameterSet::iid)) return E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, object);
}

void KCALL Tqov7zParameterSet::SetFlagA(host::UInt32 value) {
  GuardSilent([&] {
    FFlagA = value != 0;
    FlagAChanged(FFlagA);
  });
}

void KCALL Tqov7zParameterSet::ResetToDefaults() {
  GuardSilent([&] { ResetDefaults(); });
}

host::UInt32 KCALL Tqov7zParameterSet::GetCount() { return static_cast<host::UInt32>(FCount); }

HRESULT KCALL Tqov7zParameterSet::GetParameterID(host::UInt32 index, GUID* id) {
  return GuardMapped([&] {
    if (index >= static_cast<host::UInt32>(FCount)) return E_INVALIDARG;
    if (id == nullptr) return E_POINTER;
    *id = GetItem(static_cast<std::int32_t>(index))->GetID();
    return S_OK;
  });
}

HRESULT KCALL Tqov7zParameterSet::GetParameterByID(REFGUID id, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const HRESULT hr = GuardMapped([&] {
    for (std::int32_t i = 0; i < FCount; ++i) {
      Tqov7zBaseParameter* parameter = GetItem(i);
      if (IsEqualGUID(parameter->GetID(), id)) return parameter->QueryInterface(iid, object);
    }
    return E_INVALIDARG;
  });
  if (hr != S_OK) *object = nullptr;
  return hr;
}

void KCALL Tqov7zParameterSet::SetFlagB(host::UInt32 value) {
  // The hook must not fail; should one fail all the same, nothing may reach
  // the host.
  GuardSilent([&] {
    FFlagB = value != 0;
    FlagBChanged(FFlagB);
  });
}

HRESULT KCALL Tqov7zParameterSet::SetCompressCodecsInfo2(ICompressCodecsInfo2* info) {
  return GuardMapped([&] {
    FCodecsInfo = ComPtr<ICompressCodecsInfo2>::Share(info);
    CodecsInfoChanged(FCodecsInfo.Get());
    return S_OK;
  });
}

HRESULT KCALL Tqov7zParameterSet::GetParameterByIndex(host::Int32 index, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const HRESULT hr = GuardMapped([&] { return GetItem(index)->QueryInterface(iid, object); });
  if (hr != S_OK) *object = nullptr;
  return hr;
}

Tqov7zBaseParameter* Tqov7zParameterSet::GetItem(std::int32_t index) const {
  if (index < 0 || index >= FCount) RaiseResultError(E_INVALIDARG);
  return FItemArray[static_cast<std::size_t>(index)];
}

Tqov7zBaseParameter* Tqov7zParameterSet::GetItemByID(const GUID& id) const {
  for (std::int32_t i = 0; i < FCount; ++i)
    if (IsEqualGUID(GetItem(i)->GetID(), id)) return GetItem(i);
  return nullptr;
}

void Tqov7zParameterSet::AddParameter(Tqov7zBaseParameter* parameter) {
  if (FCount == Capacity()) FItemArray.resize(static_cast<std::size_t>(GrowCapacity(FCount)));
  FItemArray[static_cast<std::size_t>(FCount)] = parameter;
  ++FCount;
}

void Tqov7zParameterSet::RemoveParameter(Tqov7zBaseParameter* parameter) {
  for (std::int32_t i = 0; i < FCount; ++i) {
    if (FItemArray[static_cast<std::size_t>(i)] == parameter) {
      for (std::int32_t j = i; j + 1 < FCount; ++j)
        FItemArray[static_cast<std::size_t>(j)] = FItemArray[static_cast<std::size_t>(j) + 1];
      --FCount;
      FItemArray[static_cast<std::size_t>(FCount)] = nullptr;
      return;
    }
  }
}

void Tqov7zParameterSet::ClearParameters() {
  // Each parameter's destructor takes it out of the list.
  for (std::int32_t i = FCount - 1; i >= 0; --i) delete FItemArray[static_cast<std::size_t>(i)];
}

void Tqov7zParameterSet::ResetDefaults() {
  for (std::int32_t i = 0; i < FCount; ++i) GetItem(i)->SetDefault();
}
