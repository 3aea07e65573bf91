// The format exports: which hash-list formats exist, and their objects.
#include "plugin/lists/FormatRegistration.h"

#include <cstring>

#include "base/Bstr.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"

namespace {

// Handler property identifiers of the host.
constexpr PROPID kName = 0;
constexpr PROPID kClassId = 1;
constexpr PROPID kExtension = 2;
constexpr PROPID kUpdate = 4;
constexpr PROPID kKeepName = 5;
constexpr PROPID kFlags = 11;
constexpr ULONG kFlagByExtOnlyOpen = 1u << 12;
constexpr ULONG kFlagHashHandler = 1u << 13;

void SetText(PROPVARIANT* value, const WStr& text) {
  if (text.empty()) return;
  value->bstrVal = NewBstr(text);
  value->vt = VT_BSTR;
}

}  // namespace

extern "C" HRESULT KCALL GetNumberOfFormats(host::UInt32* count) {
  *count = static_cast<host::UInt32>(FormatCount);
  return S_OK;
}

extern "C" HRESULT KCALL GetHandlerProperty2(host::UInt32 formatIndex, PROPID propId, PROPVARIANT* value) {
  value->vt = VT_EMPTY;
  if (formatIndex >= static_cast<host::UInt32>(FormatCount)) return S_OK;
  // Running out of memory for a string is the only failure; the value then stays empty.
  try {
    switch (propId) {
      case kName: SetText(value, FormatAlgs[formatIndex].Name); break;
      case kClassId: {
        static_assert(sizeof(GUID) == 8 * sizeof(WCHAR));
        NameFormatClassIds();
        WStr raw(8, 0);
        std::memcpy(raw.data(), &FormatAlgs[formatIndex].ClassId, sizeof(GUID));
        value->bstrVal = NewBstr(raw);
        value->vt = VT_BSTR;
        break;
      }
      case kExtension: SetText(value, FormatSettingParts[formatIndex].ReportedExtension); break;
      case kUpdate:
        value->boolVal = VARIANT_TRUE;
        value->vt = VT_BOOL;
        break;
      case kKeepName:
        value->boolVal = VARIANT_FALSE;
        value->vt = VT_BOOL;
        break;
      case kFlags:
        // A hash handler: the host resolves the listed paths from the list's
        // own folder (or -shd) and refuses to extract; and it asks us only
        // for files with our extension.
        value->ulVal = kFlagHashHandler | kFlagByExtOnlyOpen;
        value->vt = VT_UI4;
        break;
      default: break;
    }
  } catch (...) {
    value->vt = VT_EMPTY;
    return E_OUTOFMEMORY;
  }
  return S_OK;
}
