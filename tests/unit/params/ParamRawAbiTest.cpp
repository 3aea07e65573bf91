// The parameter API as a foreign host sees it: every slot of every method
// table called through function pointers typed in ParamRawCall.h, with the
// platform's calling convention and the hidden result pointer where the
// method returns a GUID or a PROPVARIANT. Also the lifetime of a set whose
// parameters are still held.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/ComPtr.h"
#include "tests/unit/params/ParamRawCall.h"
#include "tests/unit/params/ParamTestSupport.h"

namespace {

using namespace paramtest;
using namespace rawcall;

constexpr GUID LevelId = {0xA1A2A3A4, 0xB1B2, 0xC1C2, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID IconId = {0xA1A2A3A4, 0xB1B2, 0xC1C2, {9, 9, 9, 9, 9, 9, 9, 9}};
constexpr GUID PlainId = {0x0F0E0D0C, 0x0B0A, 0x0908, {7, 6, 5, 4, 3, 2, 1, 0}};

TEST(ParameterApiIdentifiers, MatchTheirRegistryNotation) {
  EXPECT_TRUE(SameGuid(ICompressParameterSet::iid, IidParameterSet));
  EXPECT_TRUE(SameGuid(ICompressParameter::iid, IidParameter));
  EXPECT_TRUE(SameGuid(ICompressParameterAlias::iid, IidParameterAlias));
  EXPECT_TRUE(SameGuid(ICompressParameterAliasIcon::iid, IidParameterAliasIcon));
  EXPECT_TRUE(SameGuid(ISetCompressCodecsInfo2::iid, IidSetCodecsInfo2));
  EXPECT_TRUE(SameGuid(ISmartCompressParameterSet::iid, IidSmartSet));
  EXPECT_TRUE(SameGuid(ICompressCodecsInfo2::iid, IidCodecsInfo2));
  // The 16 bytes as stored: little-endian fields, then the 8 bytes in order.
  const unsigned char bytes[16] = {0x28, 0xF0, 0xEB, 0x98, 0x74, 0xCD, 0x06, 0x40,
                                   0xB9, 0x37, 0x03, 0xDA, 0x39, 0xA1, 0xC7, 0x8C};
  EXPECT_EQ(std::memcmp(&ICompressParameterSet::iid, bytes, 16), 0);
}

// A parameter with an icon hook, which makes it answer
// ICompressParameterAliasIcon.
class IconParameter final : public Tqov7zParameterAlias {
 public:
  using Tqov7zParameterAlias::Tqov7zParameterAlias;
  U32 Seen[3] = {};
  bool Fail = false;
  void* GetAliasIcon(U32 a, U32 b, U32 c) override {
    Seen[0] = a;
    Seen[1] = b;
    Seen[2] = c;
    if (Fail) RaiseResultError(E_FAIL);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x5000 + a + b + c));
  }
  bool HasAliasIcons() const override { return true; }
};

// Three parameters: a non-strict number alias parameter with bounds and
// every field set, a text alias parameter with an icon hook, and a plain
// 64-bit parameter without names.
struct Fixture {
  Tqov7zParameterAlias* level = nullptr;
  IconParameter* icon = nullptr;
  Tqov7zParameter* plain = nullptr;

  HookSet* Make() {
    HookSet* set = HookSet::Create();
    level = new Tqov7zParameterAlias(*set);
    level->ID = LevelId;
    level->Name = KW("@Level");
    level->AuxA = 11;
    level->AuxB = 22;
    level->AuxC = 33;
    level->VarType = VT_UI4;
    level->MinValue = UI4(1);
    level->MaxValue = UI4(50);
    level->PropertyName = KW("lv");
    level->AddAlias(KW("@Low"), 1u);
    level->AddAlias(KW("@High"), 40u);
    icon = new IconParameter(*set);
    icon->ID = IconId;
    icon->Name = KW("Picture");
    icon->VarType = VT_BSTR;
    icon->AddAlias(KW("first"));
    icon->AddAlias(KW("second"));
    plain = new Tqov7zParameter(*set);
    plain->ID = PlainId;
    plain->VarType = VT_UI8;
    set->ResetDefaults();
    return set;
  }
};

// The parameter's interface as the host gets it: by GetParameterByID.
void* ParameterOf(void* setApi, const GUID& id, const GUID& iid = IidParameter) {
  void* object = nullptr;
  EXPECT_EQ(Slot<GetParameterByIdFn>(setApi, 7)(setApi, &id, &iid, &object), S_OK);
  return object;
}

void* SetApiOf(Tqov7zParameterSet* set) {
  void* api = nullptr;
  EXPECT_EQ(set->QueryInterface(IidParameterSet, &api), S_OK);
  return api;
}

TEST(ParameterRawCalls, EverySlotOfTheParameterTable) {
  Fixture f;
  auto set = ComPtr<HookSet>::Share(f.Make());
  void* api = SetApiOf(set.Get());
  void* level = ParameterOf(api, LevelId);
  void* icon = ParameterOf(api, IconId);
  void* plain = ParameterOf(api, PlainId);
  ASSERT_TRUE(level && icon && plain);
  EXPECT_EQ(set->RefCount(), 5);

  // 0 QueryInterface: one pointer for all interfaces a parameter answers.
  const struct {
    void* param;
    const GUID& iid;
    HRESULT expected;
  } asks[] = {
      {level, IidParameter, S_OK},
      {level, IidParameterAlias, S_OK},
      {level, IidParameterAliasIcon, E_NOINTERFACE},
      {level, IidUnknown, S_OK},
      {level, IidParameterSet, E_NOINTERFACE},
      {icon, IidParameterAliasIcon, S_OK},
      {plain, IidParameterAlias, E_NOINTERFACE},
      {plain, IidParameterAliasIcon, E_NOINTERFACE},
      {plain, IidParameter, S_OK},
  };
  for (const auto& ask : asks) {
    void* object = &object;
    EXPECT_EQ(Slot<QueryInterfaceFn>(ask.param, 0)(ask.param, &ask.iid, &object), ask.expected);
    if (ask.expected == S_OK) {
      EXPECT_EQ(object, ask.param);
      EXPECT_EQ(Slot<ReleaseFn>(object, 2)(object), 5u);
    } else {
      EXPECT_EQ(object, nullptr);
    }
  }
  EXPECT_EQ(Slot<QueryInterfaceFn>(level, 0)(level, &IidParameter, nullptr), E_POINTER);

  // 1, 2 AddRef and Release count on the set.
  EXPECT_EQ(Slot<AddRefFn>(plain, 1)(plain), 6u);
  EXPECT_EQ(set->RefCount(), 6);
  EXPECT_EQ(Slot<ReleaseFn>(icon, 2)(icon), 5u);

  // 3 GetID through the result pointer.
  GUID id;
  std::memset(&id, 0xCC, sizeof id);
  EXPECT_EQ(CallGetId(level, &id), &id);
  EXPECT_TRUE(SameGuid(id, LevelId));
  EXPECT_EQ(CallGetId(plain, &id), &id);
  EXPECT_TRUE(SameGuid(id, PlainId));

  // 4 to 9: the plain getters.
  EXPECT_EQ(Slot<GetU32Fn>(level, 4)(level), 11u);
  EXPECT_EQ(Narrow(Slot<GetTextFn>(level, 5)(level)), "@Level");
  const WCHAR* noName = Slot<GetTextFn>(plain, 5)(plain);
  ASSERT_NE(noName, nullptr);
  EXPECT_EQ(noName[0], 0);
  EXPECT_EQ(Slot<GetU32Fn>(level, 6)(level), 7u);
  EXPECT_EQ(Slot<GetU32Fn>(plain, 6)(plain), 3u);
  EXPECT_EQ(Slot<GetVarTypeFn>(level, 7)(level), VT_UI4);
  EXPECT_EQ(Slot<GetVarTypeFn>(icon, 7)(icon), VT_BSTR);
  EXPECT_EQ(Slot<GetVarTypeFn>(plain, 7)(plain), VT_UI8);
  EXPECT_EQ(Slot<GetU32Fn>(level, 8)(level), 22u);
  EXPECT_EQ(Slot<GetU32Fn>(level, 9)(level), 33u);
  EXPECT_EQ(Slot<GetU32Fn>(plain, 9)(plain), 0u);

  // 10, 11, 12: bounds and value through the result pointer.
  PROPVARIANT v;
  std::memset(&v, 0xCC, sizeof v);
  EXPECT_EQ(CallGetProp(level, 10, &v), &v);
  EXPECT_EQ(v.vt, VT_UI4);
  EXPECT_EQ(v.ulVal, 1u);
  EXPECT_EQ(CallGetProp(level, 11, &v), &v);
  EXPECT_EQ(v.ulVal, 50u);
  EXPECT_EQ(CallGetProp(plain, 10, &v), &v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(CallGetProp(level, 12, &v), &v);
  EXPECT_EQ(v.vt, VT_UI4);
  EXPECT_EQ(v.ulVal, 1u);  // the first alias
  EXPECT_EQ(CallGetProp(icon, 12, &v), &v);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(Narrow(v.bstrVal), "first");
  EXPECT_EQ(v.bstrVal, f.icon->Value.bstrVal);  // a flat copy: still the parameter's text

  // 13 SetValue: S_OK taken, S_FALSE taken but reported as not applied,
  // failures with their code and the value unchanged.
  const PROPVARIANT forty = UI4(40);
  const PROPVARIANT tooBig = UI4(51);
  const PROPVARIANT low = Text(KW("low"));
  const PROPVARIANT empty = Empty();
  EXPECT_EQ(Slot<SetValueFn>(level, 13)(level, &forty), S_OK);
  EXPECT_EQ(f.level->Value.ulVal, 40u);
  EXPECT_EQ(Slot<SetValueFn>(level, 13)(level, &tooBig), E_INVALIDARG);
  EXPECT_EQ(Slot<SetValueFn>(level, 13)(level, &empty), E_INVALIDARG);
  EXPECT_EQ(Slot<SetValueFn>(level, 13)(level, nullptr), E_POINTER);
  EXPECT_EQ(f.level->Value.ulVal, 40u);
  f.plain->ReportNotApplied = true;
  const PROPVARIANT big = UI8(1ull << 40);
  EXPECT_EQ(Slot<SetValueFn>(plain, 13)(plain, &big), S_FALSE);
  EXPECT_EQ(f.plain->Value.uhVal.QuadPart, 1ull << 40);

  // 14 GetPropertyName: null without one.
  EXPECT_EQ(Narrow(Slot<GetTextFn>(level, 14)(level)), "lv");
  EXPECT_EQ(Slot<GetTextFn>(plain, 14)(plain), nullptr);

  // 15 to 18: the alias interface.
  EXPECT_EQ(Slot<GetI32Fn>(level, 15)(level), 2);
  EXPECT_EQ(Slot<GetI32Fn>(plain, 15)(plain), 0);
  EXPECT_EQ(Slot<GetI32Fn>(level, 16)(level), 1);  // 40 is "@High"
  EXPECT_EQ(Slot<SetValueFn>(level, 13)(level, &low), S_OK);
  EXPECT_EQ(Slot<GetI32Fn>(level, 16)(level), 0);
  EXPECT_EQ(Narrow(Slot<GetAliasDisplayNameFn>(level, 17)(level, 1)), "@High");
  EXPECT_EQ(Slot<GetAliasDisplayNameFn>(level, 17)(level, 2), nullptr);
  EXPECT_EQ(Slot<GetAliasDisplayNameFn>(plain, 17)(plain, 0), nullptr);
  std::memset(&v, 0xCC, sizeof v);
  EXPECT_EQ(CallGetAliasValue(level, &v, 1), &v);
  EXPECT_EQ(v.vt, VT_UI4);
  EXPECT_EQ(v.ulVal, 40u);
  EXPECT_EQ(CallGetAliasValue(icon, &v, 1), &v);
  EXPECT_EQ(Narrow(v.bstrVal), "second");
  std::memset(&v, 0xCC, sizeof v);
  EXPECT_EQ(CallGetAliasValue(level, &v, 7), &v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(CallGetAliasValue(plain, &v, 0), &v);
  EXPECT_EQ(v.vt, VT_EMPTY);

  // 19 GetAliasIcon: the three values reach the hook unchanged.
  EXPECT_EQ(Slot<GetAliasIconFn>(icon, 19)(icon, 0x10, 0x200, 0x3000),
            reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x8210)));
  EXPECT_EQ(f.icon->Seen[0], 0x10u);
  EXPECT_EQ(f.icon->Seen[1], 0x200u);
  EXPECT_EQ(f.icon->Seen[2], 0x3000u);
  f.icon->Fail = true;
  EXPECT_EQ(Slot<GetAliasIconFn>(icon, 19)(icon, 1, 2, 3), nullptr);
  EXPECT_EQ(Slot<GetAliasIconFn>(level, 19)(level, 1, 2, 3), nullptr);

  for (void* p : {level, icon, plain}) Slot<ReleaseFn>(p, 2)(p);
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 1u);
}

TEST(ParameterRawCalls, EverySlotOfTheSetTables) {
  Fixture f;
  auto set = ComPtr<HookSet>::Share(f.Make());
  void* api = SetApiOf(set.Get());
  f.level->SetAsUInt32(40);

  // ICompressParameterSet 0 to 2.
  void* object = nullptr;
  EXPECT_EQ(Slot<QueryInterfaceFn>(api, 0)(api, &IidSmartSet, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Slot<AddRefFn>(api, 1)(api), 3u);
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 2u);
  // 3 SetFlagA, 8 SetFlagB.
  Slot<SetFlagFn>(api, 3)(api, 0x80000000u);
  EXPECT_EQ(set->FlagAValue, 1);
  Slot<SetFlagFn>(api, 8)(api, 2);
  EXPECT_EQ(set->FlagBValue, 1);
  set->FailFlagA = E_FAIL;
  Slot<SetFlagFn>(api, 3)(api, 0);  // a failing hook stays inside
  EXPECT_EQ(set->FlagAValue, 0);
  // 4 ResetToDefaults.
  Slot<ResetToDefaultsFn>(api, 4)(api);
  EXPECT_EQ(f.level->Value.ulVal, 1u);
  // 5 GetCount, 6 GetParameterID.
  EXPECT_EQ(Slot<GetCountFn>(api, 5)(api), 3u);
  const GUID expected[3] = {LevelId, IconId, PlainId};
  for (U32 i = 0; i < 3; ++i) {
    GUID id{};
    EXPECT_EQ(Slot<GetParameterIdFn>(api, 6)(api, i, &id), S_OK);
    EXPECT_TRUE(SameGuid(id, expected[i]));
  }
  GUID untouched = LevelId;
  EXPECT_EQ(Slot<GetParameterIdFn>(api, 6)(api, 3, &untouched), E_INVALIDARG);
  EXPECT_TRUE(SameGuid(untouched, LevelId));
  // 7 GetParameterByID.
  object = &object;
  EXPECT_EQ(Slot<GetParameterByIdFn>(api, 7)(api, &IidSmartSet, &IidParameter, &object), E_INVALIDARG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Slot<GetParameterByIdFn>(api, 7)(api, &PlainId, &IidParameterAlias, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Slot<GetParameterByIdFn>(api, 7)(api, &IconId, &IidParameterAliasIcon, &object), S_OK);
  EXPECT_EQ(object, f.icon->Interface());
  Slot<ReleaseFn>(object, 2)(object);

  // ISetCompressCodecsInfo2 0 to 3.
  void* codecsApi = nullptr;
  ASSERT_EQ(Slot<QueryInterfaceFn>(api, 0)(api, &IidSetCodecsInfo2, &codecsApi), S_OK);
  EXPECT_EQ(Slot<AddRefFn>(codecsApi, 1)(codecsApi), 4u);
  EXPECT_EQ(Slot<ReleaseFn>(codecsApi, 2)(codecsApi), 3u);
  object = nullptr;
  EXPECT_EQ(Slot<QueryInterfaceFn>(codecsApi, 0)(codecsApi, &IidParameterSet, &object), S_OK);
  EXPECT_EQ(object, api);
  Slot<ReleaseFn>(object, 2)(object);
  FakeCodecsInfo2 info;
  EXPECT_EQ(Slot<SetCodecsInfo2Fn>(codecsApi, 3)(codecsApi, static_cast<ICompressCodecsInfo2*>(&info)), S_OK);
  EXPECT_EQ(info.Refs, 2);
  EXPECT_EQ(set->CodecsSeen, &info);
  set->FailCodecs = E_FAIL;
  EXPECT_EQ(Slot<SetCodecsInfo2Fn>(codecsApi, 3)(codecsApi, nullptr), E_FAIL);
  EXPECT_EQ(info.Refs, 1);
  Slot<ReleaseFn>(codecsApi, 2)(codecsApi);

  // ISmartCompressParameterSet 0 to 4, in smart mode.
  set->SetSmartMode(true);
  void* smart = nullptr;
  ASSERT_EQ(Slot<QueryInterfaceFn>(api, 0)(api, &IidSmartSet, &smart), S_OK);
  object = &object;
  EXPECT_EQ(Slot<QueryInterfaceFn>(smart, 0)(smart, &IidParameterSet, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Slot<AddRefFn>(smart, 1)(smart), 4u);
  EXPECT_EQ(Slot<ReleaseFn>(smart, 2)(smart), 3u);
  EXPECT_EQ(Slot<GetCountFn>(smart, 3)(smart), 3u);
  EXPECT_EQ(Slot<GetParameterByIndexFn>(smart, 4)(smart, 1, &IidParameter, &object), S_OK);
  EXPECT_EQ(object, f.icon->Interface());
  Slot<ReleaseFn>(object, 2)(object);
  object = &object;
  EXPECT_EQ(Slot<GetParameterByIndexFn>(smart, 4)(smart, 2, &IidParameterAlias, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  for (I32 index : {3, -1}) {
    object = &object;
    EXPECT_EQ(Slot<GetParameterByIndexFn>(smart, 4)(smart, index, &IidParameter, &object), E_INVALIDARG);
    EXPECT_EQ(object, nullptr);
  }
  Slot<ReleaseFn>(smart, 2)(smart);
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 1u);
}

TEST(ParameterLifetime, AParameterKeepsItsSetAlive) {
  TestSet::Destroyed = 0;
  TestSet* set = TestSet::Create([](TestSet& s) {
    auto* p = AnsiUtf8Parameter(s, true);
    p->ID = LevelId;
    p->Name = KW("@Code");
  });
  void* api = nullptr;
  ASSERT_EQ(set->QueryInterface(IidParameterSet, &api), S_OK);  // the host's one reference
  void* param = ParameterOf(api, LevelId, IidParameterAlias);
  ASSERT_NE(param, nullptr);
  void* second = nullptr;
  ASSERT_EQ(Slot<QueryInterfaceFn>(param, 0)(param, &IidParameter, &second), S_OK);

  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 2u);
  EXPECT_EQ(TestSet::Destroyed, 0);
  // The parameter still works while any of its interfaces is held.
  EXPECT_EQ(Narrow(Slot<GetTextFn>(param, 5)(param)), "@Code");
  const PROPVARIANT utf8 = Text(KW("utf8"));
  EXPECT_EQ(Slot<SetValueFn>(param, 13)(param, &utf8), S_OK);
  EXPECT_EQ(Slot<GetI32Fn>(param, 16)(param), 1);
  EXPECT_EQ(Slot<ReleaseFn>(param, 2)(param), 1u);
  EXPECT_EQ(TestSet::Destroyed, 0);
  PROPVARIANT v;
  EXPECT_EQ(CallGetProp(second, 12, &v), &v);
  EXPECT_EQ(v.ulVal, 1u);
  // The last reference, on a parameter, frees the set and every parameter.
  EXPECT_EQ(Slot<ReleaseFn>(second, 2)(second), 0u);
  EXPECT_EQ(TestSet::Destroyed, 1);
}

TEST(ParameterLifetime, SetInterfacesShareOneCount) {
  HookSet* set = HookSet::Create();
  void* api = nullptr;
  ASSERT_EQ(set->QueryInterface(IidParameterSet, &api), S_OK);
  void* codecs = nullptr;
  ASSERT_EQ(Slot<QueryInterfaceFn>(api, 0)(api, &IidSetCodecsInfo2, &codecs), S_OK);
  void* unknown = nullptr;
  ASSERT_EQ(Slot<QueryInterfaceFn>(codecs, 0)(codecs, &IidUnknown, &unknown), S_OK);
  EXPECT_EQ(set->RefCount(), 3);
  EXPECT_EQ(Slot<ReleaseFn>(api, 2)(api), 2u);
  EXPECT_EQ(Slot<ReleaseFn>(codecs, 2)(codecs), 1u);
  EXPECT_EQ(Slot<ReleaseFn>(unknown, 2)(unknown), 0u);  // frees the set (checked by the sanitizers)
}

#if defined(RAW_STACK_CHECK)

std::uint32_t Word(const void* p) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p)); }
std::uint32_t Code(HRESULT hr) { return static_cast<std::uint32_t>(hr); }

// Every slot of every table called by a standard-call caller written in
// machine code: the callee must remove exactly its own arguments (the
// hidden result pointer included) and hand back the result pointer in EAX.
TEST(ParameterRawCalls, EverySlotRemovesExactlyItsArgumentsOn32BitX86) {
  Fixture f;
  auto set = ComPtr<HookSet>::Share(f.Make());
  void* api = SetApiOf(set.Get());
  void* level = ParameterOf(api, LevelId);
  void* codecs = nullptr;
  ASSERT_EQ(set->QueryInterface(IidSetCodecsInfo2, &codecs), S_OK);
  GUID id{};
  PROPVARIANT v = Empty();
  void* object = nullptr;
  const PROPVARIANT forty = UI4(40);
  FakeCodecsInfo2 info;
  const std::uint32_t keep = 0xFFFFFFFFu;  // EAX not compared

  const struct {
    const char* name;
    void* iface;
    int slot;
    std::vector<std::uint32_t> args;  // after the interface pointer or with it
    std::uint32_t eax;
  } calls[] = {
      {"parameter AddRef", level, 1, {Word(level)}, 5},
      {"parameter Release", level, 2, {Word(level)}, 4},
      {"parameter QueryInterface", level, 0, {Word(level), Word(&IidParameterAlias), Word(&object)}, S_OK},
      {"GetID", level, 3, {Word(&id), Word(level)}, Word(&id)},
      {"GetAuxA", level, 4, {Word(level)}, 11},
      {"GetName", level, 5, {Word(level)}, Word(f.level->Name.c_str())},
      {"GetFlags", level, 6, {Word(level)}, 7},
      {"GetVarType", level, 7, {Word(level)}, keep},
      {"GetAuxB", level, 8, {Word(level)}, 22},
      {"GetAuxC", level, 9, {Word(level)}, 33},
      {"GetMinValue", level, 10, {Word(&v), Word(level)}, Word(&v)},
      {"GetMaxValue", level, 11, {Word(&v), Word(level)}, Word(&v)},
      {"GetValue", level, 12, {Word(&v), Word(level)}, Word(&v)},
      {"SetValue", level, 13, {Word(level), Word(&forty)}, S_OK},
      {"GetPropertyName", level, 14, {Word(level)}, Word(f.level->PropertyName.c_str())},
      {"GetAliasCount", level, 15, {Word(level)}, 2},
      {"GetAliasIndex", level, 16, {Word(level)}, 1},
      {"GetAliasDisplayName", level, 17, {Word(level), 0}, keep},
      {"GetAliasValue", level, 18, {Word(&v), Word(level), 1}, Word(&v)},
      {"GetAliasIcon", level, 19, {Word(level), 1, 2, 3}, 0},
      {"set QueryInterface", api, 0, {Word(api), Word(&IidSmartSet), Word(&object)}, Code(E_NOINTERFACE)},
      {"set AddRef", api, 1, {Word(api)}, 5},
      {"set Release", api, 2, {Word(api)}, 4},
      {"SetFlagA", api, 3, {Word(api), 1}, keep},
      {"ResetToDefaults", api, 4, {Word(api)}, keep},
      {"GetCount", api, 5, {Word(api)}, 3},
      {"GetParameterID", api, 6, {Word(api), 2, Word(&id)}, S_OK},
      {"GetParameterByID",
       api,
       7,
       {Word(api), Word(&LevelId), Word(&IidParameterSet), Word(&object)},
       Code(E_NOINTERFACE)},
      {"SetFlagB", api, 8, {Word(api), 1}, keep},
      {"codecs QueryInterface",
       codecs,
       0,
       {Word(codecs), Word(&IidCodecsInfo2), Word(&object)},
       Code(E_NOINTERFACE)},
      {"codecs AddRef", codecs, 1, {Word(codecs)}, 5},
      {"codecs Release", codecs, 2, {Word(codecs)}, 4},
      {"SetCompressCodecsInfo2",
       codecs,
       3,
       {Word(codecs), Word(static_cast<ICompressCodecsInfo2*>(&info))},
       S_OK},
  };
  for (const auto& c : calls) {
    std::uint32_t left = 0xDEAD;
    const void* fn = Slot<const void*>(c.iface, c.slot);
    const std::uint32_t eax =
        ParamRawStdcall(fn, c.args.data(), static_cast<std::uint32_t>(c.args.size()), &left);
    EXPECT_EQ(left, 0u) << c.name;
    if (c.eax != keep) {
      EXPECT_EQ(eax, c.eax) << c.name;
    }
    if (object != nullptr) {
      Slot<ReleaseFn>(object, 2)(object);
      object = nullptr;
    }
  }
  EXPECT_TRUE(SameGuid(id, PlainId));  // GetParameterID(2) came last
  EXPECT_EQ(v.ulVal, 40u);             // GetAliasValue(1)
  EXPECT_EQ(info.Refs, 2);

  set->SetSmartMode(true);
  void* smart = nullptr;
  ASSERT_EQ(set->QueryInterface(IidSmartSet, &smart), S_OK);
  std::uint32_t left = 0xDEAD;
  const std::uint32_t countArgs[] = {Word(smart)};
  EXPECT_EQ(ParamRawStdcall(Slot<const void*>(smart, 3), countArgs, 1, &left), 3u);
  EXPECT_EQ(left, 0u);
  const std::uint32_t byIndexArgs[] = {Word(smart), 0, Word(&IidParameter), Word(&object)};
  EXPECT_EQ(ParamRawStdcall(Slot<const void*>(smart, 4), byIndexArgs, 4, &left), 0u);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(object, level);
  Slot<ReleaseFn>(object, 2)(object);
  Slot<ReleaseFn>(smart, 2)(smart);
  Slot<ReleaseFn>(codecs, 2)(codecs);
  Slot<ReleaseFn>(level, 2)(level);
  Slot<ReleaseFn>(api, 2)(api);
  set->SetCompressCodecsInfo2(nullptr);
}

#endif

}  // namespace
