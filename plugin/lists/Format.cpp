#include "plugin/lists/Format.h"

#include <algorithm>

#include "base/Boundary.h"
#include "base/Bstr.h"
#include "base/LocaleText.h"
#include "base/PropValue.h"
#include "plugin/lists/ThreadOption.h"
#include "plugin/lists/runs/HashListCheck.h"
#include "plugin/lists/runs/HashListUpdate.h"
#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/LineLayout.h"

TqovFormat::TqovFormat(const THashAlgInfo* alg, const FormatSetting& setting)
    : FAlg(alg),
      FDefaultLineFormat(setting.LineFormat),
      FParams(ComPtr<TqovHashParameterSet>::Share(TqovHashParameterSet::Create(alg->ClassId))) {
  ApplyDefaultLineFormat();
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
    FLineFormatGiven = FCodePageGiven = FLineBreakGiven = false;
    FThreads = ProcessorCount();
    for (host::UInt32 i = 0; i < count; ++i) {
      const WCHAR* name = names[i];
      if (IsThreadOption(name)) {
        if (!ParseThreadOption(name, values[i], ProcessorCount(), FThreads)) return E_INVALIDARG;
        continue;
      }
      // The host's other general options mean nothing to a hash list.
      if (SameTextIgnoreCase(name, KW("x")) || SameTextIgnoreCase(name, KW("memuse"))) continue;
      Tqov7zBaseParameter* target = nullptr;
      for (int p = 0; p < FParams->Count() && target == nullptr; ++p) {
        Tqov7zBaseParameter* candidate = FParams->GetItem(p);
        if (SameTextIgnoreCase(candidate->GetPropertyName(), name)) target = candidate;
      }
      if (target == nullptr) return E_INVALIDARG;
      target->SetValue(values[i]);
      if (target == FParams->LineFormatParameter()) FLineFormatGiven = true;
      if (target == FParams->CodePageParameter()) FCodePageGiven = true;
      if (target == FParams->LineBreakParameter()) FLineBreakGiven = true;
    }
    return S_OK;
  });
}

HRESULT KCALL TqovFormat::UpdateItems(host::ISequentialOutStream* outStream, host::UInt32 numItems,
                                      host::IArchiveUpdateCallback* updateCallback) {
  return GuardFixed(E_UNEXPECTED, [&] {
    const RunDescription run = Describe();
    return HashListUpdate(run, FList.get(), outStream, updateCallback).Run(numItems);
  });
}

RunDescription TqovFormat::Describe() const {
  std::size_t digestSize = 0;
  if (FAlg->IsCryptoApi) {
    digestSize = static_cast<std::size_t>(FAlg->HashSize);
  } else if (FList) {
    digestSize = FList->DigestSize();
  }
  RunDescription run{ParseLineLayout(FParams->GetLineFormat()),
                     FAlg->Name,
                     digestSize,
                     UpdateEncoding(),
                     {},
                     HasherSource(FAlg, FHashers)};
  // New lines follow the list as it is written, unless the user names a
  // line format.
  if (FList && !FLineFormatGiven) run.Style = FList->Style();
  run.Threads = FThreads;
  return run;
}

HashListEncoding TqovFormat::UpdateEncoding() const {
  ULONG codePage = FParams->CodePageChoice();
  ULONG lineBreak = FParams->LineBreakChoice();
  if (FList && !FLineBreakGiven && FList->LineBreakChoice()) lineBreak = *FList->LineBreakChoice();
  // UTF-16LE is no choice of the options: only a list written so keeps it.
  if (FList && !FCodePageGiven && FList->CodePage() == kCodePageUtf16Le)
    return {kCodePageUtf16Le, "\xFF\xFE", TqovHashParameterSet::LineBreakOf(lineBreak)};
  if (FList && !FCodePageGiven && FList->CodePageChoice()) codePage = *FList->CodePageChoice();
  return {TqovHashParameterSet::CodePageOf(codePage), TqovHashParameterSet::PreambleOf(codePage),
          TqovHashParameterSet::LineBreakOf(lineBreak)};
}

HRESULT KCALL TqovFormat::GetFileTimeType(host::UInt32* type) {
  *type = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::Open(host::IInStream* stream, const host::UInt64*, host::IArchiveOpenCallback*) {
  return GuardFixed(E_FAIL, [&] {
    FList.reset();
    // The host asks only for files with the format's extension, or for any
    // file when the user names the format (kByExtOnlyOpen): SHA256SUMS is
    // read with -tSHA-256. Whatever the name, only a list of this format's
    // own layout is ours; anything else is left to the host's other formats
    // (its own Hash format reads most lists).
    FList = ReadList(stream);
    return FList ? S_OK : S_FALSE;
  });
}

std::unique_ptr<HashList> TqovFormat::ReadList(host::IInStream* stream) const {
  if (stream == nullptr) return nullptr;
  host::UInt64 size = 0;
  if (stream->Seek(0, host::kSeekEnd, &size) != S_OK || size > HashList::kMaxFileSize) return nullptr;
  if (stream->Seek(0, host::kSeekSet, nullptr) != S_OK) return nullptr;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    host::UInt32 processed = 0;
    const auto ask = static_cast<host::UInt32>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (stream->Read(bytes.data() + done, ask, &processed) != S_OK) return nullptr;
    if (processed == 0) break;
    done += processed;
  }
  bytes.resize(done);

  // The digest's length comes from the hasher that checks it.
  const RunDescription run = Describe();
  const std::unique_ptr<ItemHasher> hasher = run.Hashers.Make();
  if (!hasher) return nullptr;
  return HashList::Parse(std::move(bytes), run.Layout, run.HashName, hasher->DigestSize());
}

HRESULT KCALL TqovFormat::Close() {
  FList.reset();
  return S_OK;
}

HRESULT KCALL TqovFormat::GetNumberOfItems(host::UInt32* count) {
  *count = FList ? static_cast<host::UInt32>(FList->Count()) : 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) {
  value->vt = VT_EMPTY;
  return GuardMapped([&] {
    if (!FList || index >= FList->Count()) return E_INVALIDARG;
    if (propId == host::kpidPath) {
      value->bstrVal = NewBstr(FList->Path(index));
      value->vt = VT_BSTR;
    } else if (propId == host::kpidIsDir) {
      value->boolVal = VARIANT_FALSE;
      value->vt = VT_BOOL;
    } else if (propId == host::kpidSize && FList->TestedSize(index)) {
      // A list holds no sizes; a file that a test has read has one.
      value->uhVal.QuadPart = *FList->TestedSize(index);
      value->vt = VT_UI8;
    }
    return S_OK;
  });
}

HRESULT KCALL TqovFormat::Extract(const host::UInt32* indices, host::UInt32 numItems, host::Int32 testMode,
                                  host::IArchiveExtractCallback* extractCallback) {
  // A list holds digests, not files: it can only be tested, against the
  // files it names, which the host opens for us.
  auto files = QueryAs<host::IArchiveUpdateCallbackFile>(extractCallback);
  if (testMode == 0 || !files || !FList) return E_NOTIMPL;
  return GuardFixed(E_UNEXPECTED, [&] {
    const RunDescription run = Describe();
    return HashListCheck(run, *FList, extractCallback, files.Get()).Run(indices, numItems);
  });
}

HRESULT KCALL TqovFormat::GetArchiveProperty(PROPID propId, PROPVARIANT* value) {
  value->vt = VT_EMPTY;
  return GuardMapped([&] {
    // A list that names no file checks nothing: the host reports the error
    // (and exits with 2 on a test or a listing), yet can still add to it.
    if (propId == host::kpidError && FList && FList->Count() == 0) {
      value->bstrVal = NewBstr(KW("The list names no files"));
      value->vt = VT_BSTR;
    }
    return S_OK;
  });
}

HRESULT KCALL TqovFormat::GetNumberOfProperties(host::UInt32* count) {
  *count = 1;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetPropertyInfo(host::UInt32 index, BSTR* name, PROPID* propId, VARTYPE* varType) {
  *name = nullptr;
  *propId = 0;
  *varType = 0;
  if (index != 0) return E_INVALIDARG;
  *propId = host::kpidPath;
  *varType = VT_BSTR;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetNumberOfArchiveProperties(host::UInt32* count) {
  *count = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetArchivePropertyInfo(host::UInt32, BSTR* name, PROPID* propId, VARTYPE* varType) {
  *name = nullptr;
  *propId = 0;
  *varType = 0;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetParent(host::UInt32, host::UInt32* parent, host::UInt32* parentType) {
  // Paths are whole: no entry is inside another.
  *parent = 0xFFFFFFFFu;
  *parentType = host::kParentTypeDir;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetRawProp(host::UInt32 index, PROPID propId, const void** data,
                                     host::UInt32* dataSize, host::UInt32* propType) {
  *data = nullptr;
  *dataSize = 0;
  *propType = 0;
  if (!FList || index >= FList->Count()) return E_INVALIDARG;
  if (propId == host::kpidChecksum && FList->DigestSize() != 0) {
    *data = FList->Digest(index);
    *dataSize = static_cast<host::UInt32>(FList->DigestSize());
    *propType = host::kPropDataRaw;
  }
  return S_OK;
}

HRESULT KCALL TqovFormat::GetNumRawProps(host::UInt32* numProps) {
  *numProps = 1;
  return S_OK;
}

HRESULT KCALL TqovFormat::GetRawPropInfo(host::UInt32 index, BSTR* name, PROPID* propId) {
  *name = nullptr;
  *propId = 0;
  if (index != 0) return E_INVALIDARG;
  *propId = host::kpidChecksum;
  return S_OK;
}
