#include "plugin/Format.h"

#include "base/Boundary.h"
#include "base/LocaleText.h"
#include "base/PropValue.h"
#include "plugin/Catalogues.h"
#include "plugin/HashListText.h"
#include "plugin/HashListUpdate.h"
#include "plugin/Hasher.h"

TqovFormat::TqovFormat(const THashAlgInfo* alg, const WStr& setting)
    : FAlg(alg), FParams(ComPtr<TqovHashParameterSet>::Share(TqovHashParameterSet::Create(alg->ClassId))) {
  WStr lineFormat = setting;
  const auto colon = lineFormat.find(KW(':'));
  if (colon != WStr::npos) {
    FExtension = lineFormat.substr(0, colon);
    lineFormat.erase(0, colon + 1);
  }
  FDefaultLineFormat = lineFormat;
  ApplyDefaultLineFormat();
  if (FExtension.empty()) FExtension = FAlg->Name;
  FExtension = LowerCased(FExtension);
  if (!FExtension.empty() && FExtension[0] != KW('.')) FExtension.insert(0, 1, KW('.'));
}

void TqovFormat::ApplyDefaultLineFormat() {
  FParams->LineFormatParameter()->SetAsText(FDefaultLineFormat.c_str());
}

HRESULT KCALL TqovFormat::SetCompressCodecsInfo(host::ICompressCodecsInfo* codecsInfo) {
  FHashers.Reset();
  FHashers = QueryAs<host::IHashers>(codecsInfo);
  return S_OK;
}

HRESULT KCALL TqovFormat::SetProperties(const WCHAR* const* names, const PROPVARIANT* values,
                                        host::UInt32 count) {
  return GuardMapped([&] {
    // Every call starts from the defaults: nothing of an earlier call survives.
    FParams->ResetDefaults();
    ApplyDefaultLineFormat();
    for (host::UInt32 i = 0; i < count; ++i) {
      const WCHAR* name = names[i];
      // The host's general options mean nothing to a hash list.
      if (SameTextIgnoreCase(name, KW("x")) || SameTextIgnoreCase(name, KW("mt")) ||
          SameTextIgnoreCase(name, KW("memuse")))
        continue;
      Tqov7zBaseParameter* target = nullptr;
      for (int p = 0; p < FParams->Count() && target == nullptr; ++p) {
        Tqov7zBaseParameter* candidate = FParams->GetItem(p);
        if (SameTextIgnoreCase(candidate->GetPropertyName(), name)) target = candidate;
      }
      if (target == nullptr) return E_INVALIDARG;
      target->SetValue(values[i]);
    }
    return S_OK;
  });
}

HRESULT KCALL TqovFormat::UpdateItems(host::ISequentialOutStream* outStream, host::UInt32 numItems,
                                      host::IArchiveUpdateCallback* updateCallback) {
  return GuardFixed(E_UNEXPECTED, [&] {
    return HashListUpdate(*this, *FAlg, outStream, updateCallback).Run(numItems);
  });
}

HRESULT KCALL TqovFormat::GetFileTimeType(host::UInt32* type) {
  *type = 0;
  return S_OK;
}

ComPtr<host::IHasher> TqovFormat::CreateItemHasher() const {
  if (FAlg->IsCryptoApi) return ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(FAlg));
  if (FHashers) return FindHostHasher(FHashers.Get());
  if (HostCodecsInfo) {
    auto list = QueryAs<host::IHashers>(HostCodecsInfo.Get());
    if (list) return FindHostHasher(list.Get());
  }
  return {};
}

ComPtr<host::IHasher> TqovFormat::FindHostHasher(host::IHashers* list) const {
  const host::UInt32 n = list->GetNumHashers();
  for (host::UInt32 j = 0; j < n; ++j) {
    PropValueHolder name;
    if (list->GetHasherProp(j, 1, name.Ptr()) != S_OK || name->vt != VT_BSTR) continue;
    if (!SameTextIgnoreCase(name->bstrVal, FAlg->Name.c_str())) continue;
    ComPtr<host::IHasher> hasher;
    list->CreateHasher(j, hasher.Out());
    return hasher;
  }
  return {};
}

HRESULT KCALL TqovFormat::Open(host::IInStream*, const host::UInt64*,
                               host::IArchiveOpenCallback* openCallback) {
  return GuardFixed(E_FAIL, [&] {
    HRESULT result = S_FALSE;
    auto volume = QueryAs<host::IArchiveOpenVolumeCallback>(openCallback);
    if (volume) {
      PropValueHolder name;
      if (volume->GetProperty(host::kpidName, name.Ptr()) == S_OK && name->vt == VT_BSTR) {
        const WStr ext = FileExtension(name->bstrVal ? name->bstrVal : KW(""));
        if (SameTextIgnoreCase(ext.c_str(), FExtension.c_str())) result = S_OK;
      }
    }
    return result;
  });
}

HRESULT KCALL TqovFormat::Close() { return S_OK; }

HRESULT KCALL TqovFormat::GetNumberOfItems(host::UInt32* count) {
  *count = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetProperty(host::UInt32, PROPID, PROPVARIANT* value) {
  value->vt = VT_EMPTY;
  return S_OK;
}

HRESULT KCALL TqovFormat::Extract(const host::UInt32*, host::UInt32, host::Int32,
                                  host::IArchiveExtractCallback*) {
  return E_NOTIMPL;  // a hash list is written, never read back
}

HRESULT KCALL TqovFormat::GetArchiveProperty(PROPID, PROPVARIANT* value) {
  value->vt = VT_EMPTY;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetNumberOfProperties(host::UInt32* count) {
  *count = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetPropertyInfo(host::UInt32, BSTR* name, PROPID* propId, VARTYPE* varType) {
  *name = nullptr;
  *propId = 0;
  *varType = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetNumberOfArchiveProperties(host::UInt32* count) {
  *count = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetArchivePropertyInfo(host::UInt32, BSTR* name, PROPID* propId,
                                                 VARTYPE* varType) {
  *name = nullptr;
  *propId = 0;
  *varType = 0;
  return S_OK;
}
