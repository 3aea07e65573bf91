// CreateObject: format handlers, and parameter sets for hosts that know the
// parameter API.
#include "plugin/lists/FormatObjects.h"

#include "base/ComPtr.h"
#include "interfaces/ParameterApi.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"
#include "plugin/lists/Format.h"
#include "plugin/lists/HashParameterSet.h"

extern "C" HRESULT KCALL CreateObject(const GUID* clsid, const GUID* iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // Running out of memory is the only failure; object then stays null.
  try {
    if (IsEqualGUID(*iid, ICompressParameterSet::iid)) {
      auto set = ComPtr<TqovHashParameterSet>::Share(TqovHashParameterSet::Create(*clsid));
      return set->QueryInterface(*iid, object);
    }
    NameFormatClassIds();
    for (std::int32_t i = 0; i < FormatCount; ++i) {
      const auto index = static_cast<std::size_t>(i);
      if (!IsEqualGUID(FormatAlgs[index].ClassId, *clsid)) continue;
      auto handler = ComPtr<host::IInArchive>::Adopt(
          NewInterface<host::IInArchive, TqovFormat>(&FormatAlgs[index], FormatSettingParts[index]));
      return handler->QueryInterface(*iid, object);
    }
    return E_INVALIDARG;
  } catch (...) {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
}
