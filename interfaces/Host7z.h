// The host archiver's (7-Zip's) interfaces as the plug-in implements and calls
// them: identifiers and method tables only.
#pragma once

#include <cstdint>

#include "platform/Win32.h"

namespace host {

using UInt32 = std::uint32_t;
using Int32 = std::int32_t;
using UInt64 = std::uint64_t;

// All host interface identifiers share this pattern: {23170F69-40C1-278A-0000-00gg00ii0000}.
constexpr GUID HostIid(std::uint8_t group, std::uint8_t id) {
  return GUID{0x23170F69, 0x40C1, 0x278A, {0x00, 0x00, 0x00, group, 0x00, id, 0x00, 0x00}};
}

// Item and method property identifiers used here.
constexpr PROPID kpidPath = 3;
constexpr PROPID kpidName = 4;
constexpr PROPID kpidIsDir = 6;
constexpr PROPID kpidSize = 7;
constexpr PROPID kpidChecksum = 46;
constexpr PROPID kpidError = 55;

struct ISequentialInStream : IUnknown {
  static constexpr GUID iid = HostIid(0x03, 0x01);
  virtual HRESULT KCALL Read(void* data, UInt32 size, UInt32* processed) = 0;
};

struct ISequentialOutStream : IUnknown {
  static constexpr GUID iid = HostIid(0x03, 0x02);
  virtual HRESULT KCALL Write(const void* data, UInt32 size, UInt32* processed) = 0;
};

// Seek origins.
constexpr UInt32 kSeekSet = 0;
constexpr UInt32 kSeekEnd = 2;

struct IInStream : ISequentialInStream {
  static constexpr GUID iid = HostIid(0x03, 0x03);
  virtual HRESULT KCALL Seek(std::int64_t offset, UInt32 origin, UInt64* newPosition) = 0;
};

struct IProgress : IUnknown {
  static constexpr GUID iid = HostIid(0x00, 0x05);
  virtual HRESULT KCALL SetTotal(UInt64 total) = 0;
  virtual HRESULT KCALL SetCompleted(const UInt64* completed) = 0;
};

struct IArchiveUpdateCallback : IProgress {
  static constexpr GUID iid = HostIid(0x06, 0x80);
  virtual HRESULT KCALL GetUpdateItemInfo(UInt32 index, Int32* newData, Int32* newProps,
                                          UInt32* indexInArchive) = 0;
  virtual HRESULT KCALL GetProperty(UInt32 index, PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL GetStream(UInt32 index, ISequentialInStream** stream) = 0;
  virtual HRESULT KCALL SetOperationResult(Int32 result) = 0;
};
// The result an update tells the host for an item it is done with.
constexpr Int32 kUpdateResultOk = 0;

struct IArchiveOpenCallback : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x10);
  virtual HRESULT KCALL SetTotal(const UInt64* files, const UInt64* bytes) = 0;
  virtual HRESULT KCALL SetCompleted(const UInt64* files, const UInt64* bytes) = 0;
};

struct IArchiveOpenVolumeCallback : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x30);
  virtual HRESULT KCALL GetProperty(PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL GetStream(const WCHAR* name, IInStream** stream) = 0;
};

struct IArchiveExtractCallback : IProgress {
  static constexpr GUID iid = HostIid(0x06, 0x20);
  virtual HRESULT KCALL GetStream(UInt32 index, ISequentialOutStream** outStream, Int32 askExtractMode) = 0;
  virtual HRESULT KCALL PrepareOperation(Int32 askExtractMode) = 0;
  virtual HRESULT KCALL SetOperationResult(Int32 opRes) = 0;
};

// Ask modes and operation results of an extraction (test) run.
constexpr Int32 kAskExtract = 0;
constexpr Int32 kAskTest = 1;
constexpr Int32 kAskReadExternal = 3;
constexpr Int32 kOpResultOk = 0;
constexpr Int32 kOpResultUnsupportedMethod = 1;
constexpr Int32 kOpResultCrcError = 3;

// The extract callback of a hash list's test run opens the listed files.
struct IArchiveUpdateCallbackFile : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x83);
  virtual HRESULT KCALL GetStream2(UInt32 index, ISequentialInStream** inStream, UInt32 notifyOp) = 0;
  virtual HRESULT KCALL ReportOperation(UInt32 indexType, UInt32 index, UInt32 notifyOp) = 0;
};
constexpr UInt32 kNotifyHashRead = 8;

// The size of a listed file on disk, as the extract callback sees it.
struct IArchiveGetDiskProperty : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x84);
  virtual HRESULT KCALL GetDiskProperty(UInt32 index, PROPID propId, PROPVARIANT* value) = 0;
};

// Binary item properties (a hash list's digests).
struct IArchiveGetRawProps : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x70);
  virtual HRESULT KCALL GetParent(UInt32 index, UInt32* parent, UInt32* parentType) = 0;
  virtual HRESULT KCALL GetRawProp(UInt32 index, PROPID propId, const void** data, UInt32* dataSize,
                                   UInt32* propType) = 0;
  virtual HRESULT KCALL GetNumRawProps(UInt32* numProps) = 0;
  virtual HRESULT KCALL GetRawPropInfo(UInt32 index, BSTR* name, PROPID* propId) = 0;
};
constexpr UInt32 kPropDataRaw = 1;
constexpr UInt32 kParentTypeDir = 0;

struct IInArchive : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x60);
  virtual HRESULT KCALL Open(IInStream* stream, const UInt64* maxCheckStartPosition,
                             IArchiveOpenCallback* openCallback) = 0;
  virtual HRESULT KCALL Close() = 0;
  virtual HRESULT KCALL GetNumberOfItems(UInt32* count) = 0;
  virtual HRESULT KCALL GetProperty(UInt32 index, PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL Extract(const UInt32* indices, UInt32 numItems, Int32 testMode,
                                IArchiveExtractCallback* extractCallback) = 0;
  virtual HRESULT KCALL GetArchiveProperty(PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL GetNumberOfProperties(UInt32* count) = 0;
  virtual HRESULT KCALL GetPropertyInfo(UInt32 index, BSTR* name, PROPID* propId, VARTYPE* varType) = 0;
  virtual HRESULT KCALL GetNumberOfArchiveProperties(UInt32* count) = 0;
  virtual HRESULT KCALL GetArchivePropertyInfo(UInt32 index, BSTR* name, PROPID* propId,
                                               VARTYPE* varType) = 0;
};

struct IOutArchive : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0xA0);
  virtual HRESULT KCALL UpdateItems(ISequentialOutStream* outStream, UInt32 numItems,
                                    IArchiveUpdateCallback* updateCallback) = 0;
  virtual HRESULT KCALL GetFileTimeType(UInt32* type) = 0;
};

struct ISetProperties : IUnknown {
  static constexpr GUID iid = HostIid(0x06, 0x03);
  virtual HRESULT KCALL SetProperties(const WCHAR* const* names, const PROPVARIANT* values, UInt32 count) = 0;
};

struct ICompressCodecsInfo : IUnknown {
  static constexpr GUID iid = HostIid(0x04, 0x60);
  virtual HRESULT KCALL GetNumMethods(UInt32* count) = 0;
  virtual HRESULT KCALL GetProperty(UInt32 index, PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL CreateDecoder(UInt32 index, const GUID* iid, void** coder) = 0;
  virtual HRESULT KCALL CreateEncoder(UInt32 index, const GUID* iid, void** coder) = 0;
};

struct ISetCompressCodecsInfo : IUnknown {
  static constexpr GUID iid = HostIid(0x04, 0x61);
  virtual HRESULT KCALL SetCompressCodecsInfo(ICompressCodecsInfo* codecsInfo) = 0;
};

struct ICompressSetCoderProperties : IUnknown {
  static constexpr GUID iid = HostIid(0x04, 0x20);
  virtual HRESULT KCALL SetCoderProperties(const PROPID* propIds, const PROPVARIANT* props, UInt32 count) = 0;
};

struct IHasher : IUnknown {
  static constexpr GUID iid = HostIid(0x04, 0xC0);
  virtual void KCALL Init() = 0;
  virtual void KCALL Update(const void* data, UInt32 size) = 0;
  virtual void KCALL Final(BYTE* digest) = 0;
  virtual UInt32 KCALL GetDigestSize() = 0;
};

struct IHashers : IUnknown {
  static constexpr GUID iid = HostIid(0x04, 0xC1);
  virtual UInt32 KCALL GetNumHashers() = 0;
  virtual HRESULT KCALL GetHasherProp(UInt32 index, PROPID propId, PROPVARIANT* value) = 0;
  virtual HRESULT KCALL CreateHasher(UInt32 index, IHasher** hasher) = 0;
};

}  // namespace host
