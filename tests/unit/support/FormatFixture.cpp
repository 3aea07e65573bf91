#include "tests/unit/support/FormatFixture.h"

#include <cstring>

#include "base/PropValue.h"
#include "plugin/Exports.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"
#include "tests/unit/support/FakeExtract.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/Text.h"

namespace fixture {

ComPtr<fakes::UpdateCallback> Callback(std::vector<fakes::Item> items, std::map<int, host::UInt32> entries) {
  auto callback = ComPtr<fakes::UpdateCallback>::Adopt(
      NewInterface<fakes::UpdateCallback, fakes::UpdateCallback>(std::move(items)));
  callback->IndexInArchive = std::move(entries);
  return callback;
}

Formats::Formats()
    : Module(
          "[Create]\r\n"
          "MD5=md5:%HASH% *%FILENAME%\r\n"
          "SHA-256=sha256:%HASH% *%FILENAME%\r\n"
          "CRC32=sfv:%FILENAME% %HASH%\r\n"
          "X2=:%HASH% %FILENAME%\r\n"
          "X8=%HASH%\r\n") {}

ComPtr<host::IOutArchive> Formats::Handler(int index) {
  ComPtr<host::IOutArchive> handler;
  NameFormatClassIds();
  const GUID clsid = FormatAlgs.at(static_cast<std::size_t>(index)).ClassId;
  CreateObject(&clsid, &host::IOutArchive::iid, reinterpret_cast<void**>(handler.Out()));
  return handler;
}

PROPVARIANT Text(const WCHAR* text) {
  PROPVARIANT v;
  std::memset(&v, 0, sizeof v);
  v.vt = VT_BSTR;
  v.bstrVal = const_cast<BSTR>(text);
  return v;
}

PROPVARIANT Number(ULONG n) {
  PROPVARIANT v;
  std::memset(&v, 0, sizeof v);
  v.vt = VT_UI4;
  v.ulVal = n;
  return v;
}

HRESULT SetProperties(host::IOutArchive* handler, const std::vector<std::pair<WStr, PROPVARIANT>>& props) {
  auto setter = QueryAs<host::ISetProperties>(handler);
  if (!setter) return E_NOINTERFACE;
  std::vector<const WCHAR*> names;
  std::vector<PROPVARIANT> values;
  for (const auto& [name, value] : props) {
    names.push_back(name.c_str());
    values.push_back(value);
  }
  return setter->SetProperties(names.data(), values.data(), static_cast<host::UInt32>(names.size()));
}

UpdateResult Update(host::IOutArchive* handler, fakes::UpdateCallback* callback) {
  auto out = ComPtr<fakes::OutStream>::Adopt(NewInterface<fakes::OutStream, fakes::OutStream>());
  const HRESULT hr =
      handler->UpdateItems(out.Get(), static_cast<host::UInt32>(callback->Items.size()), callback);
  return {hr, out->Bytes};
}

HRESULT OpenList(host::IOutArchive* handler, const WCHAR* name, const std::string& bytes) {
  auto archive = QueryAs<host::IInArchive>(handler);
  auto stream =
      ComPtr<fakes::MemoryInStream>::Adopt(NewInterface<fakes::MemoryInStream, fakes::MemoryInStream>(bytes));
  auto callback = ComPtr<fakes::OpenCallback>::Adopt(
      NewInterface<fakes::OpenCallback, fakes::OpenCallback>(true, WStr(name)));
  return archive->Open(stream.Get(), nullptr, callback.Get());
}

std::vector<std::string> Entries(host::IOutArchive* handler) {
  auto archive = QueryAs<host::IInArchive>(handler);
  auto raw = QueryAs<host::IArchiveGetRawProps>(handler);
  std::vector<std::string> entries;
  host::UInt32 count = 0;
  if (archive->GetNumberOfItems(&count) != S_OK) return {"GetNumberOfItems failed"};
  for (host::UInt32 i = 0; i < count; ++i) {
    PropValueHolder path, isDir;
    archive->GetProperty(i, host::kpidPath, path.Ptr());
    archive->GetProperty(i, host::kpidIsDir, isDir.Ptr());
    const void* data = nullptr;
    host::UInt32 size = 0, type = 0;
    raw->GetRawProp(i, host::kpidChecksum, &data, &size, &type);
    std::string entry = path->vt == VT_BSTR ? testing_text::Utf8(path->bstrVal) : "(no path)";
    if (isDir->vt != VT_BOOL || isDir->boolVal != VARIANT_FALSE) entry += " (not a file)";
    entry.push_back('|');
    entry.append(testing_text::Hex(data, size));
    if (type != host::kPropDataRaw) entry += " (not raw)";
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace fixture
