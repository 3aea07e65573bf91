// The parameter set of the hash-list formats: its three parameters as a host
// sees them, their defaults, the values they take, and the queries the
// writer reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/ComPtr.h"
#include "plugin/lists/HashParameterSet.h"
#include "tests/unit/params/ParamRawCall.h"
#include "tests/unit/params/ParamTestSupport.h"

namespace {

using namespace paramtest;
using namespace rawcall;

constexpr GUID CodePageId = {0xC7A7E8B9, 0xA2CB, 0x4887, {0x8D, 0x55, 0x26, 0x58, 0x9F, 0xEB, 0x7D, 0xC7}};
constexpr GUID LineFormatId = {0x797DE38F, 0x8F85, 0x4B31, {0xA1, 0x4F, 0xB8, 0x1E, 0x11, 0x0B, 0x4A, 0x4D}};
constexpr GUID LineBreakId = {0x60B57D75, 0xB87F, 0x4555, {0x8B, 0xAB, 0x38, 0x0D, 0xDE, 0x92, 0x8D, 0x51}};
constexpr GUID Crc32ClassId = {0xC954E530, 0x19F5, 0xEE17, {0x0A, 0x41, 0x1B, 0x00, 0xA1, 0xBE, 0xB1, 0x8F}};
constexpr GUID Md5ClassId = {0x00008003, 0x7992, 0x451F, {0x87, 0x97, 0xBF, 0xB7, 0x9F, 0x81, 0x7D, 0x85}};

ComPtr<TqovHashParameterSet> NewSet(const GUID& classId = GUID{}) {
  return ComPtr<TqovHashParameterSet>::Share(TqovHashParameterSet::Create(classId));
}

// The set's ICompressParameterSet, as CreateObject hands it to a host.
void* HostSet(TqovHashParameterSet* set) {
  auto api = QueryAs<ICompressParameterSet>(set);
  EXPECT_TRUE(api);
  return api.Detach();
}

void* HostParameter(void* api, const GUID& id, const GUID& iid = IidParameter) {
  void* object = nullptr;
  EXPECT_EQ(Slot<GetParameterByIdFn>(api, 7)(api, &id, &iid, &object), S_OK);
  return object;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", b);
    out += buffer;
  }
  return out;
}

TEST(HashParameterSet, ThreeParametersAsAHostListsThem) {
  auto set = NewSet(Md5ClassId);
  void* api = HostSet(set.Get());
  ASSERT_EQ(Slot<GetCountFn>(api, 5)(api), 3u);

  struct Alias {
    const char* name;
    std::uint32_t number;  // VT_UI4 parameters
    const char* text;      // the line format
  };
  const struct {
    GUID id;
    const char* name;
    const char* propertyName;
    VARTYPE kind;
    std::uint32_t auxC;
    std::uint32_t flags;
    std::vector<Alias> aliases;
  } expected[] = {
      {CodePageId,
       "@Code page",
       "c",
       VT_UI4,
       0,
       15,
       {{"@ANSI", 0, nullptr}, {"@UTF8", 1, nullptr}, {"@UTF8 without BOM", 2, nullptr}}},
      {LineFormatId,
       "@Line format",
       "f",
       VT_BSTR,
       40,
       3,
       {{"%FILENAME% %HASH%", 0, "%FILENAME% %HASH%"},
        {"%HASH% *%FILENAME%", 0, "%HASH% *%FILENAME%"},
        {"%HASHNAME% (%FILENAME%) = %HASH%", 0, "%HASHNAME% (%FILENAME%) = %HASH%"}}},
      {LineBreakId,
       "@Line break",
       "lb",
       VT_UI4,
       0,
       7,
       {{"@CRLF", 0, nullptr}, {"@CR", 1, nullptr}, {"@LFCR", 2, nullptr}, {"@LF", 3, nullptr}}},
  };
  for (U32 i = 0; i < 3; ++i) {
    const auto& e = expected[i];
    GUID id{};
    ASSERT_EQ(Slot<GetParameterIdFn>(api, 6)(api, i, &id), S_OK);
    EXPECT_TRUE(SameGuid(id, e.id)) << e.name;
    void* p = HostParameter(api, id, IidParameterAlias);
    ASSERT_NE(p, nullptr) << e.name;
    void* icon = &icon;
    EXPECT_EQ(Slot<QueryInterfaceFn>(p, 0)(p, &IidParameterAliasIcon, &icon), E_NOINTERFACE);
    EXPECT_EQ(icon, nullptr);
    GUID reported{};
    CallGetId(p, &reported);
    EXPECT_TRUE(SameGuid(reported, e.id)) << e.name;
    EXPECT_EQ(Narrow(Slot<GetTextFn>(p, 5)(p)), e.name);
    EXPECT_EQ(Narrow(Slot<GetTextFn>(p, 14)(p)), e.propertyName);
    EXPECT_EQ(Slot<GetVarTypeFn>(p, 7)(p), e.kind) << e.name;
    EXPECT_EQ(Slot<GetU32Fn>(p, 4)(p), 0u) << e.name;
    EXPECT_EQ(Slot<GetU32Fn>(p, 8)(p), 0u) << e.name;
    EXPECT_EQ(Slot<GetU32Fn>(p, 9)(p), e.auxC) << e.name;
    EXPECT_EQ(Slot<GetU32Fn>(p, 6)(p), e.flags) << e.name;
    PROPVARIANT bound;
    EXPECT_EQ(CallGetProp(p, 10, &bound)->vt, VT_EMPTY) << e.name;
    EXPECT_EQ(CallGetProp(p, 11, &bound)->vt, VT_EMPTY) << e.name;
    ASSERT_EQ(Slot<GetI32Fn>(p, 15)(p), static_cast<I32>(e.aliases.size())) << e.name;
    for (U32 a = 0; a < e.aliases.size(); ++a) {
      EXPECT_EQ(Narrow(Slot<GetAliasDisplayNameFn>(p, 17)(p, a)), e.aliases[a].name);
      PROPVARIANT value;
      CallGetAliasValue(p, &value, a);
      ASSERT_EQ(value.vt, e.kind) << e.aliases[a].name;
      if (e.kind == VT_UI4) {
        EXPECT_EQ(value.ulVal, e.aliases[a].number) << e.aliases[a].name;
      } else {
        EXPECT_EQ(Narrow(value.bstrVal), e.aliases[a].text);
      }
    }
    Slot<ReleaseFn>(p, 2)(p);
  }
  // It answers the parameter set interface only.
  for (const GUID* iid : {&IidSetCodecsInfo2, &IidSmartSet, &IidParameter}) {
    void* object = &object;
    EXPECT_EQ(Slot<QueryInterfaceFn>(api, 0)(api, iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 1u);
}

TEST(HashParameterSet, DefaultsDependOnTheClassIdentifier) {
  const struct {
    GUID classId;
    const char* lineFormat;
    std::int32_t aliasIndex;
  } cases[] = {
      {Crc32ClassId, "%FILENAME% %HASH%", 0},
      {Md5ClassId, "%HASH% *%FILENAME%", 1},
      {GUID{}, "%HASH% *%FILENAME%", 1},
  };
  for (const auto& c : cases) {
    auto set = NewSet(c.classId);
    EXPECT_EQ(Narrow(set->GetLineFormat()), c.lineFormat);
    EXPECT_EQ(set->LineFormatParameter()->GetAliasIndex(), c.aliasIndex);
    EXPECT_EQ(set->CodePageParameter()->Value.vt, VT_UI4);
    EXPECT_EQ(set->CodePageParameter()->Value.ulVal, 0u);
    EXPECT_EQ(set->LineBreakParameter()->Value.ulVal, 0u);
    EXPECT_EQ(set->GetCodePage(), 0u);
    EXPECT_EQ(set->GetPreamble(), "");
    EXPECT_TRUE(set->GetLineBreak() == KW("\r\n"));
    EXPECT_EQ(set->RefCount(), 1);
  }
}

// Values given by property name, as the format handler applies them: the
// parameter whose property name matches gets the value.
struct Applied {
  HRESULT raised;
  Tqov7zParameter* parameter;
};

Applied Apply(TqovHashParameterSet& set, const char* name, const PROPVARIANT& value) {
  for (std::int32_t i = 0; i < set.Count(); ++i) {
    Tqov7zBaseParameter* p = set.GetItem(i);
    if (Narrow(p->GetPropertyName()) == name)
      return {RaisedCode([&] { p->SetValue(value); }), static_cast<Tqov7zParameter*>(p)};
  }
  ADD_FAILURE() << "no parameter " << name;
  return {E_FAIL, nullptr};
}

TEST(HashParameterSet, CodePageValues) {
  const struct {
    PROPVARIANT value;
    HRESULT raised;
    std::uint32_t stored;  // starting from 1 (UTF8)
  } cases[] = {
      {Text(KW("UTF8-")), S_OK, 2},
      {Text(KW("utf8-")), S_OK, 2},
      {Text(KW("Utf8-")), S_OK, 2},
      {Text(KW("UTF8")), S_OK, 1},
      {Text(KW("1")), S_OK, 1},
      {Text(KW("2")), S_OK, 2},
      {UI4(0), S_OK, 0},
      {UI8(2), S_OK, 2},
      {Bool(-1), S_OK, 1},
      {Text(KW("ANSI")), S_OK, 0},
      {Text(KW("@UTF8")), S_OK, 1},
      {Text(KW("UTF8 WITHOUT BOM")), S_OK, 2},
      {Text(KW("utf8 without bom")), S_OK, 2},
      {Text(KW("@ansi")), S_OK, 0},
      {UI4(3), E_INVALIDARG, 1},
      {Text(KW("3")), E_INVALIDARG, 1},
      {Text(KW("UTF16")), E_INVALIDARG, 1},
      {Text(KW("UTF8--")), E_INVALIDARG, 1},
      {Text(KW(" UTF8-")), E_INVALIDARG, 1},
      {Text(KW("")), E_INVALIDARG, 1},
      {Empty(), E_INVALIDARG, 1},
  };
  for (const auto& c : cases) {
    auto set = NewSet();
    set->CodePageParameter()->SetAsUInt32(1);
    const Applied applied = Apply(*set.Get(), "c", c.value);
    const std::string what = c.value.vt == VT_BSTR ? Narrow(c.value.bstrVal) : std::to_string(c.value.vt);
    EXPECT_EQ(applied.raised, c.raised) << what;
    EXPECT_EQ(set->CodePageParameter()->Value.ulVal, c.stored) << what;
  }
}

TEST(HashParameterSet, CodePageQueries) {
  const struct {
    const WCHAR* choice;
    UINT codePage;
    const char* preamble;
  } cases[] = {
      {KW("UTF8"), 65001, "EFBBBF"},
      {KW("2"), 65001, ""},
      {KW("UTF8-"), 65001, ""},
      {KW("ANSI"), 0, ""},
  };
  auto set = NewSet();
  for (const auto& c : cases) {
    ASSERT_TRUE(set->CodePageParameter()->SetAsText(c.choice));
    EXPECT_EQ(set->GetCodePage(), c.codePage) << Narrow(c.choice);
    EXPECT_EQ(Hex(set->GetPreamble()), c.preamble) << Narrow(c.choice);
  }
}

TEST(HashParameterSet, LineFormatValues) {
  const struct {
    PROPVARIANT value;
    HRESULT raised;
    WStr stored;
    std::int32_t aliasIndex;
  } cases[] = {
      {Text(KW("%hash%_*%filename%")), S_OK, KW("%HASH% *%FILENAME%"), 1},
      {Text(KW("%hashname%_(%filename%)_=_%hash%")), S_OK, KW("%HASHNAME% (%FILENAME%) = %HASH%"), 2},
      {Text(KW("")), S_OK, KW(""), 0},
      {Text(nullptr), S_OK, KW(""), 0},
      {Text(KW("__x__")), S_OK, KW("  X  "), 0},
      {Text(KW("%hash%\x00E4")), S_OK, KW("%HASH%\x00C4"), 0},  // a with diaeresis
      {UI4(5), S_OK, KW("5"), 0},
      {UI8(18446744073709551615ull), S_OK, KW("18446744073709551615"), 0},
      {Bool(-1), S_OK, KW("on"), 0},  // not a text: converted, not upper-cased
      {Empty(), E_INVALIDARG, KW("%HASH% *%FILENAME%"), 1},
      {Kind(VT_I4), E_INVALIDARG, KW("%HASH% *%FILENAME%"), 1},
  };
  for (const auto& c : cases) {
    auto set = NewSet();
    const Applied applied = Apply(*set.Get(), "f", c.value);
    EXPECT_EQ(applied.raised, c.raised) << Narrow(c.stored);
    EXPECT_TRUE(set->GetLineFormat() == c.stored) << Narrow(set->GetLineFormat());
    EXPECT_EQ(applied.parameter->GetAliasIndex(), c.aliasIndex) << Narrow(c.stored);
  }
  // The handler's plain-text entry takes the same path.
  auto set = NewSet();
  EXPECT_TRUE(set->LineFormatParameter()->SetAsText(KW("%filename%_%hash%")));
  EXPECT_EQ(Narrow(set->GetLineFormat()), "%FILENAME% %HASH%");
}

TEST(HashParameterSet, LineBreakValues) {
  const struct {
    PROPVARIANT value;
    HRESULT raised;
    WStr lineBreak;  // starting from LF
  } cases[] = {
      {UI4(3), S_OK, KW("\n")},
      {Text(KW("crlf")), S_OK, KW("\r\n")},
      {UI4(9), S_OK, KW("\r\n")},
      {Text(KW("cr")), S_OK, KW("\r")},
      {Text(KW("@LF")), S_OK, KW("\n")},
      {Text(KW("LFCR")), S_OK, KW("\n\r")},
      {Text(KW("1")), S_OK, KW("\r")},
      {UI4(2), S_OK, KW("\n\r")},
      {UI4(0), S_OK, KW("\r\n")},
      {Text(KW("4294967295")), S_OK, KW("\r\n")},
      {Bool(-1), S_OK, KW("\r")},
      {Text(KW("bogus")), E_INVALIDARG, KW("\n")},
      {Text(KW("-1")), E_INVALIDARG, KW("\n")},
      {UI8(1ull << 32), E_INVALIDARG, KW("\n")},
      {Empty(), E_INVALIDARG, KW("\n")},
  };
  for (const auto& c : cases) {
    auto set = NewSet();
    set->LineBreakParameter()->SetAsUInt32(3);
    const Applied applied = Apply(*set.Get(), "lb", c.value);
    EXPECT_EQ(applied.raised, c.raised);
    EXPECT_TRUE(set->GetLineBreak() == c.lineBreak)
        << "value kind " << c.value.vt << " gave " << set->GetLineBreak().size() << " characters";
  }
}

TEST(HashParameterSet, ResetToDefaultsThroughTheApi) {
  for (const GUID& classId : {Crc32ClassId, Md5ClassId}) {
    auto set = NewSet(classId);
    const WStr initial = set->GetLineFormat();
    void* api = HostSet(set.Get());
    const PROPVARIANT utf8 = Text(KW("utf8"));
    const PROPVARIANT format = Text(KW("%hashname%"));
    const PROPVARIANT lf = UI4(3);
    const struct {
      const GUID& id;
      const PROPVARIANT& value;
    } changes[] = {{CodePageId, utf8}, {LineFormatId, format}, {LineBreakId, lf}};
    for (const auto& change : changes) {
      void* p = HostParameter(api, change.id);
      EXPECT_EQ(Slot<SetValueFn>(p, 13)(p, &change.value), S_OK);
      Slot<ReleaseFn>(p, 2)(p);
    }
    EXPECT_EQ(set->GetCodePage(), 65001u);
    EXPECT_EQ(Narrow(set->GetLineFormat()), "%HASHNAME%");
    EXPECT_TRUE(set->GetLineBreak() == KW("\n"));

    Slot<ResetToDefaultsFn>(api, 4)(api);
    EXPECT_EQ(set->GetCodePage(), 0u);
    EXPECT_EQ(Hex(set->GetPreamble()), "");
    EXPECT_TRUE(set->GetLineFormat() == initial);
    EXPECT_TRUE(set->GetLineBreak() == KW("\r\n"));
    Slot<ReleaseFn>(api, 2)(api);
  }
}

TEST(HashParameterSet, ValuesThroughTheApiReportTheirFailures) {
  auto set = NewSet();
  void* api = HostSet(set.Get());
  void* codePage = HostParameter(api, CodePageId);
  const PROPVARIANT three = UI4(3);
  const PROPVARIANT utf8NoBom = Text(KW("utf8-"));
  EXPECT_EQ(Slot<SetValueFn>(codePage, 13)(codePage, &three), E_INVALIDARG);
  EXPECT_EQ(Slot<SetValueFn>(codePage, 13)(codePage, &utf8NoBom), S_OK);
  PROPVARIANT v;
  EXPECT_EQ(CallGetProp(codePage, 12, &v)->ulVal, 2u);
  EXPECT_EQ(Slot<GetI32Fn>(codePage, 16)(codePage), 2);
  Slot<ReleaseFn>(codePage, 2)(codePage);
  Slot<ReleaseFn>(api, 2)(api);
}

TEST(HashParameterSet, HostReferencesKeepTheSetAlive) {
  // As CreateObject hands it out: the set with one reference, the host's.
  void* api = HostSet(TqovHashParameterSet::Create(Crc32ClassId));
  void* lineFormat = HostParameter(api, LineFormatId, IidParameterAlias);
  void* lineBreak = HostParameter(api, LineBreakId);
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 2u);
  PROPVARIANT v;
  EXPECT_EQ(Narrow(CallGetProp(lineFormat, 12, &v)->bstrVal), "%FILENAME% %HASH%");
  EXPECT_EQ(Slot<ReleaseFn>(lineFormat, 2)(lineFormat), 1u);
  const PROPVARIANT cr = Text(KW("cr"));
  EXPECT_EQ(Slot<SetValueFn>(lineBreak, 13)(lineBreak, &cr), S_OK);
  EXPECT_EQ(CallGetProp(lineBreak, 12, &v)->ulVal, 1u);
  // The last release frees the set and its parameters (checked by the sanitizers).
  EXPECT_EQ(Slot<ReleaseFn>(lineBreak, 2)(lineBreak), 0u);
}

}  // namespace
