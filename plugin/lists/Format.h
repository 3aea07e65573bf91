// The handler of one hash-list format: writes hash-list files on update,
// takes the user's options, and reads back lists of its own layout so that
// the host can list them, test the files they name and add to them. It never
// extracts: a list holds no file data.
#pragma once

#include <memory>

#include "base/ComPtr.h"
#include "base/InterfacedObject.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"
#include "plugin/catalogue/FormatSetting.h"
#include "plugin/lists/HashParameterSet.h"
#include "plugin/lists/ThreadOption.h"
#include "plugin/lists/runs/RunDescription.h"
#include "plugin/lists/text/HashList.h"

class TqovFormat final : public ComObject<host::ISetCompressCodecsInfo, host::ISetProperties,
                                          host::IOutArchive, host::IInArchive, host::IArchiveGetRawProps> {
 public:
  // alg: the format's catalogue entry (not owned); setting: its "Create"
  // value, taken apart.
  TqovFormat(const THashAlgInfo* alg, const FormatSetting& setting);

  // ISetCompressCodecsInfo
  HRESULT KCALL SetCompressCodecsInfo(host::ICompressCodecsInfo* codecsInfo) override;
  // ISetProperties
  HRESULT KCALL SetProperties(const WCHAR* const* names, const PROPVARIANT* values,
                              host::UInt32 count) override;
  // IOutArchive
  HRESULT KCALL UpdateItems(host::ISequentialOutStream* outStream, host::UInt32 numItems,
                            host::IArchiveUpdateCallback* updateCallback) override;
  HRESULT KCALL GetFileTimeType(host::UInt32* type) override;
  // IInArchive
  HRESULT KCALL Open(host::IInStream* stream, const host::UInt64* maxCheckStartPosition,
                     host::IArchiveOpenCallback* openCallback) override;
  HRESULT KCALL Close() override;
  HRESULT KCALL GetNumberOfItems(host::UInt32* count) override;
  HRESULT KCALL GetProperty(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL Extract(const host::UInt32* indices, host::UInt32 numItems, host::Int32 testMode,
                        host::IArchiveExtractCallback* extractCallback) override;
  HRESULT KCALL GetArchiveProperty(PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL GetNumberOfProperties(host::UInt32* count) override;
  HRESULT KCALL GetPropertyInfo(host::UInt32 index, BSTR* name, PROPID* propId, VARTYPE* varType) override;
  HRESULT KCALL GetNumberOfArchiveProperties(host::UInt32* count) override;
  HRESULT KCALL GetArchivePropertyInfo(host::UInt32 index, BSTR* name, PROPID* propId,
                                       VARTYPE* varType) override;

  // IArchiveGetRawProps: the digests of an open list.
  HRESULT KCALL GetParent(host::UInt32 index, host::UInt32* parent, host::UInt32* parentType) override;
  HRESULT KCALL GetRawProp(host::UInt32 index, PROPID propId, const void** data, host::UInt32* dataSize,
                           host::UInt32* propType) override;
  HRESULT KCALL GetNumRawProps(host::UInt32* numProps) override;
  HRESULT KCALL GetRawPropInfo(host::UInt32 index, BSTR* name, PROPID* propId) override;

  TqovHashParameterSet& Params() const { return *FParams.Get(); }

 private:
  void ApplyDefaultLineFormat();
  // Everything a run needs, from the options and the open list as they are now.
  RunDescription Describe() const;
  // The list in the stream, or null when it is none of this format's.
  std::unique_ptr<HashList> ReadList(host::IInStream* stream) const;
  // The code page, preamble and line break of an update: an open list keeps
  // its own unless the options name them.
  HashListEncoding UpdateEncoding() const;

  const THashAlgInfo* const FAlg;
  WStr FDefaultLineFormat;
  ComPtr<TqovHashParameterSet> FParams;
  ComPtr<host::IHashers> FHashers;
  // The list opened, until Close.
  std::unique_ptr<HashList> FList;
  // Whether the last SetProperties named the line format, the code page or
  // the line break.
  bool FLineFormatGiven = false;
  bool FCodePageGiven = false;
  bool FLineBreakGiven = false;
  // Files hashed at once: the "mt" option, else the processors.
  unsigned FThreads = ProcessorCount();
};
