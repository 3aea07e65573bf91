// The handler's options, its hashers, Open, and the format exports.
#include <gtest/gtest.h>

#include <cstring>

#include "base/PropValue.h"
#include "interfaces/ParameterApi.h"
#include "plugin/Exports.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"
#include "plugin/lists/Format.h"
#include "tests/unit/support/FakeExtract.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/FormatFixture.h"
#include "tests/unit/support/Text.h"

using fixture::Number;
using fixture::Text;
using testing_text::Hex;
using testing_text::Utf8;

namespace {

ComPtr<fakes::UpdateCallback> OneFile() {
  return ComPtr<fakes::UpdateCallback>::Adopt(
      NewInterface<fakes::UpdateCallback, fakes::UpdateCallback>(std::vector<fakes::Item>{{KW("f"), "abc"}}));
}

TqovFormat& Format(host::IOutArchive* handler) { return *static_cast<TqovFormat*>(handler); }

TEST(SetProperties, AppliesNamesAndIgnoresGeneralOptions) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {{KW("x"), Number(9)},
                                                   {KW("MT"), Text(KW("on"))},
                                                   {KW("memuse"), Text(KW("1g"))},
                                                   {KW("C"), Text(KW("UTF8"))}}),
            S_OK);
  EXPECT_EQ(Format(handler.Get()).Params().GetCodePage(), 65001u);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {{KW("F"), Text(KW("%filename%"))}}), S_OK);
  EXPECT_EQ(Utf8(Format(handler.Get()).Params().GetLineFormat()), "%FILENAME%");
  // Each call starts again from the defaults and the format's own line format.
  EXPECT_EQ(Format(handler.Get()).Params().GetCodePage(), 0u);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {}), S_OK);
  EXPECT_EQ(Utf8(Format(handler.Get()).Params().GetLineFormat()), "%HASH% *%FILENAME%");
}

TEST(SetProperties, RejectsUnknownNamesAndValuesAfterApplyingEarlierOnes) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  const std::vector<std::pair<std::vector<std::pair<WStr, PROPVARIANT>>, HRESULT>> cases = {
      {{{KW("lb"), Number(3)}, {KW("q"), Number(1)}}, E_INVALIDARG},
      {{{KW("lb"), Number(3)}, {KW("c1"), Number(1)}}, E_INVALIDARG},
      {{{KW("lb"), Number(3)}, {KW("lbx"), Number(1)}}, E_INVALIDARG},
      {{{KW("lb"), Number(3)}, {KW("c"), Text(KW("UTF16"))}}, E_INVALIDARG},
      {{{KW("lb"), Number(3)}, {KW("c"), Number(3)}}, E_INVALIDARG},
  };
  for (const auto& [props, expected] : cases) {
    EXPECT_EQ(fixture::SetProperties(handler.Get(), props), expected);
    EXPECT_EQ(Utf8(Format(handler.Get()).Params().GetLineBreak()), "\n");  // kept
  }
}

TEST(HostHashers, FromTheCodecListOrTheHostCodecsInfo) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(2);  // CRC32, "sfv:%FILENAME% %HASH%"
  auto callback = OneFile();
  // No hasher list anywhere: E_FAIL at the first file, after the preamble.
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("UTF8"))}}), S_OK);
  auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, E_FAIL);
  EXPECT_EQ(result.bytes, "\xEF\xBB\xBF");

  // The host's list names the hasher in another letter case.
  auto list = ComPtr<fakes::HasherList>::Adopt(
      NewInterface<fakes::HasherList, fakes::HasherList>(std::vector<std::pair<WStr, std::string>>{
          {KW("MD5"), std::string(16, 'x')}, {KW("crc32"), std::string("\x78\x56\x34\x12", 4)}}));
  auto codecs = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
  codecs->Hashers = list.Get();
  ASSERT_EQ(SetCodecs(codecs.Get()), S_OK);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {}), S_OK);
  result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.bytes, "f 12345678\r\n");

  // A list of its own takes precedence, even without the hasher.
  auto own = ComPtr<fakes::HasherList>::Adopt(NewInterface<fakes::HasherList, fakes::HasherList>(
      std::vector<std::pair<WStr, std::string>>{{KW("SHA1"), std::string(20, 'x')}}));
  auto ownCodecs = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
  ownCodecs->Hashers = own.Get();
  auto setter = QueryAs<host::ISetCompressCodecsInfo>(handler.Get());
  ASSERT_TRUE(setter);
  EXPECT_EQ(setter->SetCompressCodecsInfo(ownCodecs.Get()), S_OK);
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).hr, E_FAIL);
  // Emptied again, it falls back to the host's codecs.
  EXPECT_EQ(setter->SetCompressCodecsInfo(nullptr), S_OK);
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).bytes, "f 12345678\r\n");
  SetCodecs(nullptr);
}

TEST(HostHashers, ShortDigestsAreNumbersLongOnesBytes) {
  fixture::Formats formats;
  struct Case {
    int format;
    std::string digest, line;
  } cases[] = {
      {3, std::string("\x34\x12", 2), "1234 f\r\n"},
      {2, std::string("\x78\x56\x34\x12", 4), "f 12345678\r\n"},
      {4, std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8), "0102030405060708\r\n"},
      {3, std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", 16),
       "000102030405060708090A0B0C0D0E0F f\r\n"},
      {3, std::string("\xAB\xCD\xEF", 3), "ABCDEF f\r\n"},
  };
  for (const auto& c : cases) {
    auto handler = fixture::Formats::Handler(c.format);
    auto list = ComPtr<fakes::HasherList>::Adopt(
        NewInterface<fakes::HasherList, fakes::HasherList>(std::vector<std::pair<WStr, std::string>>{
            {FormatAlgs[static_cast<std::size_t>(c.format)].Name, c.digest}}));
    auto codecs = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
    codecs->Hashers = list.Get();
    QueryAs<host::ISetCompressCodecsInfo>(handler.Get())->SetCompressCodecsInfo(codecs.Get());
    auto callback = OneFile();
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.bytes, c.line);
    EXPECT_EQ(list->Created, 1);
  }
}

HRESULT OpenNamed(host::IOutArchive* handler, bool withVolume, const WCHAR* name, const std::string& bytes) {
  auto archive = QueryAs<host::IInArchive>(handler);
  auto stream =
      ComPtr<fakes::MemoryInStream>::Adopt(NewInterface<fakes::MemoryInStream, fakes::MemoryInStream>(bytes));
  auto callback = ComPtr<fakes::OpenCallback>::Adopt(
      NewInterface<fakes::OpenCallback, fakes::OpenCallback>(withVolume, WStr(name)));
  return archive->Open(stream.Get(), nullptr, callback.Get());
}

TEST(Open, TheContentNotTheName) {
  fixture::Formats formats;
  // The host asks for files of other names only when the user names the
  // format: then a list of the format's own is read whatever its name, and
  // anything else is refused whatever its name.
  const std::string md5List = "900150983cd24fb0d6963f7d28e17f72  a.txt\n";
  const std::string sha256List = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  a.txt\n";
  const struct Case {
    const WCHAR* name;
    bool withVolume;
    std::string bytes;
    HRESULT expected;
  } cases[] = {
      {KW("C:\\x\\LIST.MD5"), true, md5List, S_OK},
      {KW("MD5SUMS"), true, md5List, S_OK},
      {KW("list.md5.bak"), true, md5List, S_OK},
      {KW("a.md5\\list.txt"), true, md5List, S_OK},
      {KW("list.md5"), false, md5List, S_OK},
      {KW(""), true, "", S_OK},  // an empty file is a list without entries
      {KW("list.md5"), true, sha256List, S_FALSE},
      {KW("SHA256SUMS"), true, sha256List, S_FALSE},
      {KW("list.md5"), true,
       std::string("\x7F"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       S_FALSE},
  };
  for (const Case& c : cases) {
    auto handler = fixture::Formats::Handler(0);  // MD5
    EXPECT_EQ(OpenNamed(handler.Get(), c.withVolume, c.name, c.bytes), c.expected) << Utf8(c.name);
  }
  auto handler = fixture::Formats::Handler(0);
  auto archive = QueryAs<host::IInArchive>(handler.Get());
  EXPECT_EQ(archive->Open(nullptr, nullptr, nullptr), S_FALSE);
  host::UInt32 count = 9;
  EXPECT_EQ(archive->GetNumberOfItems(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(archive->Extract(nullptr, 0, 0, nullptr), E_NOTIMPL);
}

TEST(FormatExports, ListTheFormats) {
  fixture::Formats formats;
  host::UInt32 count = 0;
  EXPECT_EQ(GetNumberOfFormats(&count), S_OK);
  ASSERT_EQ(count, 5u);
  auto text = [](host::UInt32 i, PROPID id) {
    PropValueHolder v;
    EXPECT_EQ(GetHandlerProperty2(i, id, v.Ptr()), S_OK);
    if (v->vt == VT_BSTR) return Utf8(v->bstrVal);
    std::string kind = "<";
    kind += std::to_string(v->vt);
    kind += ">";
    return kind;
  };
  EXPECT_EQ(text(0, 0), "MD5");
  EXPECT_EQ(text(0, 2), "md5");
  EXPECT_EQ(text(1, 2), "sha256");
  EXPECT_EQ(text(2, 2), "sfv");
  EXPECT_EQ(text(3, 2), "x2");
  EXPECT_EQ(text(4, 2), "%hash%");  // a value without ":" is reported whole
  EXPECT_EQ(text(0, 3), "<0>");
  EXPECT_EQ(text(0, 6), "<0>");
  for (PROPID id = 0; id < 14; ++id) EXPECT_EQ(text(count, id), "<0>");
  PropValueHolder v;
  GetHandlerProperty2(0, 4, v.Ptr());
  EXPECT_EQ(v->vt, VT_BOOL);
  EXPECT_EQ(v->boolVal, VARIANT_TRUE);
  GetHandlerProperty2(0, 5, v.Ptr());
  EXPECT_EQ(v->boolVal, VARIANT_FALSE);
  GetHandlerProperty2(0, 11, v.Ptr());
  EXPECT_EQ(v->vt, VT_UI4);
  EXPECT_EQ(v->ulVal, 0x3000u);  // a hash handler, opened by extension only
  PropValueHolder id;
  GetHandlerProperty2(2, 1, id.Ptr());
  ASSERT_EQ(id->vt, VT_BSTR);
  ASSERT_EQ(SysStringLen(id->bstrVal), 8u);
  EXPECT_EQ(Hex(id->bstrVal, 16), "30E554C9F51917EE0A411B00A1BEB18F");
  PropValueHolder md5Id;
  GetHandlerProperty2(0, 1, md5Id.Ptr());
  EXPECT_EQ(Hex(md5Id->bstrVal, 16), "0380000092791F458797BFB79F817D85");
}

TEST(FormatExports, CreateObjectMakesHandlersAndParameterSets) {
  fixture::Formats formats;
  const GUID md5 = AlgClassId(0x8003);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateObject(&md5, &host::IInArchive::iid, &object), S_OK);
  ASSERT_NE(object, nullptr);
  static_cast<IUnknown*>(object)->Release();
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateObject(&md5, &host::IHasher::iid, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  const GUID unknown = AlgClassId(0x8004);  // SHA-1 has no format here
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateObject(&unknown, &host::IOutArchive::iid, &object), E_INVALIDARG);
  EXPECT_EQ(object, nullptr);

  const GUID zero{};
  for (const auto& [clsid, lineFormat] :
       {std::pair{zero, "%HASH% *%FILENAME%"}, std::pair{Crc32FormatClassId, "%FILENAME% %HASH%"}}) {
    void* set = nullptr;
    ASSERT_EQ(CreateObject(&clsid, &ICompressParameterSet::iid, &set), S_OK);
    auto* object = static_cast<TqovHashParameterSet*>(static_cast<ICompressParameterSet*>(set));
    EXPECT_EQ(Utf8(object->GetLineFormat()), lineFormat);
    static_cast<IUnknown*>(set)->Release();
  }
}

TEST(FormatExports, NoCreateSectionNoFormats) {
  fixture::Module module;
  host::UInt32 count = 9;
  EXPECT_EQ(GetNumberOfFormats(&count), S_OK);
  EXPECT_EQ(count, 0u);
  void* object = nullptr;
  EXPECT_EQ(CreateObject(&Crc32FormatClassId, &host::IOutArchive::iid, &object), E_INVALIDARG);
}

}  // namespace
