// The parameter set: its list, lookups, interfaces, hooks and the steps
// after construction.
#include <gtest/gtest.h>

#include "base/ComPtr.h"
#include "tests/unit/params/ParamTestSupport.h"

namespace {

using namespace paramtest;

constexpr GUID IdA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID IdB = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};

Tqov7zParameter* NewParameter(Tqov7zParameterSet& set, const GUID& id, const WCHAR* name) {
  auto* p = new Tqov7zParameter(set);
  p->ID = id;
  p->Name = name;
  p->VarType = VT_UI4;
  return p;
}

TEST(ParameterSet, EmptySetAnswersNothing) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  ICompressParameterSet* api = set.Get();
  EXPECT_EQ(api->GetCount(), 0u);
  GUID id = IdA;
  EXPECT_EQ(api->GetParameterID(0, &id), E_INVALIDARG);
  EXPECT_TRUE(SameGuid(id, IdA));  // not written
  void* object = &id;
  EXPECT_EQ(api->GetParameterByID(IdA, ICompressParameter::iid, &object), E_INVALIDARG);
  EXPECT_EQ(object, nullptr);
  api->ResetToDefaults();
  EXPECT_EQ(set->Count(), 0);
  EXPECT_EQ(set->GetItemByID(IdA), nullptr);
  EXPECT_EQ(RaisedCode([&] { set->GetItem(0); }), E_INVALIDARG);
}

TEST(ParameterSet, ListGrowsInStepsAndKeepsCreationOrder) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  EXPECT_EQ(set->Capacity(), 0);
  // Capacity after each new parameter: 4, then 8, 12 and 28.
  const std::int32_t capacities[] = {4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 28};
  Tqov7zParameter* made[13];
  for (int i = 0; i < 13; ++i) {
    made[i] = NewParameter(*set.Get(), IdA, KW("p"));
    made[i]->AuxA = static_cast<host::UInt32>(i);
    EXPECT_EQ(set->Count(), i + 1);
    EXPECT_EQ(set->Capacity(), capacities[i]) << "after parameter " << i + 1;
  }
  for (int i = 0; i < 13; ++i) EXPECT_EQ(set->GetItem(i), made[i]);
  EXPECT_EQ(set->GetParameterID(13, nullptr), E_INVALIDARG);
  EXPECT_EQ(set->GetParameterID(0xFFFFFFFFu, nullptr), E_INVALIDARG);
  EXPECT_EQ(set->GetParameterID(12, nullptr), E_POINTER);
}

TEST(ParameterSet, DestroyingAParameterTakesItOutOfTheList) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  Tqov7zParameter* p[3];
  const GUID ids[3] = {IdA, IdB, GUID{}};
  for (int i = 0; i < 3; ++i) p[i] = NewParameter(*set.Get(), ids[i], KW("p"));
  delete p[1];
  ASSERT_EQ(set->Count(), 2);
  EXPECT_EQ(set->GetItem(0), p[0]);
  EXPECT_EQ(set->GetItem(1), p[2]);
  EXPECT_EQ(set->Capacity(), 4);
  GUID id{};
  ASSERT_EQ(set->GetParameterID(1, &id), S_OK);
  EXPECT_TRUE(SameGuid(id, GUID{}));
  void* object = nullptr;
  EXPECT_EQ(set->GetParameterByID(IdB, ICompressParameter::iid, &object), E_INVALIDARG);
  // A parameter that is not in the list changes nothing when it leaves.
  set->RemoveParameter(p[1]);
  EXPECT_EQ(set->Count(), 2);
}

TEST(ParameterSet, LookupsByIdentifierFindTheLowerIndex) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  NewParameter(*set.Get(), IdB, KW("other"));
  Tqov7zParameter* first = NewParameter(*set.Get(), IdA, KW("first"));
  NewParameter(*set.Get(), IdA, KW("second"));
  EXPECT_EQ(set->GetItemByID(IdA), first);
  void* object = nullptr;
  ASSERT_EQ(set->GetParameterByID(IdA, ICompressParameter::iid, &object), S_OK);
  EXPECT_EQ(object, first->Interface());
  static_cast<ICompressParameter*>(object)->Methods->Release(static_cast<ICompressParameter*>(object));
  // Known identifier, refused interface: the parameter's answer, null out.
  object = &object;
  EXPECT_EQ(set->GetParameterByID(IdA, ICompressParameterAlias::iid, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(set->GetParameterByID(IdA, ICompressParameterSet::iid, &object), E_NOINTERFACE);
  EXPECT_EQ(set->GetParameterByID(IdA, ICompressParameter::iid, nullptr), E_POINTER);
  EXPECT_EQ(set->RefCount(), 1);
}

TEST(ParameterSet, InterfacesByMode) {
  struct Case {
    bool hook;
    bool smart;
    HRESULT set, codecs, smartSet, unknown;
  };
  const Case cases[] = {
      {false, false, S_OK, E_NOINTERFACE, E_NOINTERFACE, S_OK},
      {true, false, S_OK, S_OK, E_NOINTERFACE, S_OK},
      {false, true, E_NOINTERFACE, E_NOINTERFACE, S_OK, S_OK},
      {true, true, E_NOINTERFACE, E_NOINTERFACE, S_OK, S_OK},
  };
  for (const auto& c : cases) {
    ComPtr<Tqov7zParameterSet> set;
    if (c.hook) {
      HookSet* s = HookSet::Create();
      s->SetSmartMode(c.smart);
      set = ComPtr<Tqov7zParameterSet>::Share(s);
    } else {
      TestSet* s = TestSet::Create();
      s->SetSmartMode(c.smart);
      set = ComPtr<Tqov7zParameterSet>::Share(s);
    }
    const struct {
      const GUID& iid;
      HRESULT expected;
    } asks[] = {{ICompressParameterSet::iid, c.set},           {ISetCompressCodecsInfo2::iid, c.codecs},
                {ISmartCompressParameterSet::iid, c.smartSet}, {IID_IUnknown, c.unknown},
                {ICompressParameter::iid, E_NOINTERFACE},      {ICompressCodecsInfo2::iid, E_NOINTERFACE}};
    for (const auto& ask : asks) {
      void* object = &object;
      EXPECT_EQ(set->QueryInterface(ask.iid, &object), ask.expected)
          << "hook " << c.hook << " smart " << c.smart;
      EXPECT_EQ(object != nullptr, ask.expected == S_OK);
      if (object) static_cast<IUnknown*>(object)->Release();
    }
    EXPECT_EQ(set->QueryInterface(ICompressParameterSet::iid, nullptr), E_POINTER);
    EXPECT_EQ(set->RefCount(), 1);
  }
}

TEST(ParameterSet, FlagsReachTheirHooksAndFailuresStayInside) {
  auto set = ComPtr<HookSet>::Share(HookSet::Create());
  ICompressParameterSet* api = set.Get();
  api->SetFlagA(7);
  EXPECT_TRUE(set->FlagA());
  EXPECT_EQ(set->FlagAValue, 1);
  api->SetFlagB(0x100);  // any non-zero value is true
  EXPECT_TRUE(set->FlagB());
  EXPECT_EQ(set->FlagBValue, 1);
  api->SetFlagB(0);
  EXPECT_FALSE(set->FlagB());
  EXPECT_EQ(set->FlagBValue, 0);
  set->FailFlagA = E_FAIL;
  api->SetFlagA(0);  // swallowed
  EXPECT_FALSE(set->FlagA());
  EXPECT_EQ(set->FlagAValue, 0);
}

TEST(ParameterSet, CodecsInfoIsKeptWithOneReference) {
  FakeCodecsInfo2 first;
  FakeCodecsInfo2 second;
  {
    auto set = ComPtr<HookSet>::Share(HookSet::Create());
    ISetCompressCodecsInfo2* api = set.Get();
    EXPECT_EQ(api->SetCompressCodecsInfo2(&first), S_OK);
    EXPECT_EQ(first.Refs, 2);
    EXPECT_EQ(set->CodecsSeen, &first);
    EXPECT_EQ(set->CodecsInfo(), &first);
    EXPECT_EQ(api->SetCompressCodecsInfo2(&second), S_OK);
    EXPECT_EQ(first.Refs, 1);
    EXPECT_EQ(second.Refs, 2);
    set->FailCodecs = static_cast<HRESULT>(0x80070005u);
    EXPECT_EQ(api->SetCompressCodecsInfo2(nullptr), static_cast<HRESULT>(0x80070005u));
    EXPECT_EQ(second.Refs, 1);
    EXPECT_EQ(set->CodecsInfo(), nullptr);
    set->FailCodecs = S_OK;
    EXPECT_EQ(api->SetCompressCodecsInfo2(&first), S_OK);
    EXPECT_EQ(set->CodecsCalls, 4);
  }
  // The set's destruction drops its reference.
  EXPECT_EQ(first.Refs, 1);
}

TEST(ParameterSet, ResetToDefaultsSwallowsAFailureAfterResettingWhatCameBefore) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  Tqov7zParameter* good = NewParameter(*set.Get(), IdA, KW("good"));
  Tqov7zParameter* bad = NewParameter(*set.Get(), IdB, KW("bad"));
  bad->VarType = VT_R8;
  good->SetAsUInt32(5);
  ICompressParameterSet* api = set.Get();
  api->ResetToDefaults();
  EXPECT_EQ(good->Value.ulVal, 0u);
  EXPECT_EQ(RaisedCode([&] { set->ResetDefaults(); }), E_INVALIDARG);
}

TEST(ParameterSet, FailureAfterConstructionDestroysTheSet) {
  TestSet::Destroyed = 0;
  EXPECT_EQ(RaisedCode([] {
              TestSet::Create([](TestSet& s) {
                auto* p = new Tqov7zParameterAlias(s);
                p->VarType = VT_BSTR;
                p->AddAlias(KW("text"));
                p->VarType = VT_CY;  // cannot be reset
              });
            }),
            E_INVALIDARG);
  EXPECT_EQ(TestSet::Destroyed, 1);
}

TEST(ParameterSet, ZeroSetClassIdIsAllZero) {
  auto set = ComPtr<TestSet>::Share(TestSet::Create());
  EXPECT_TRUE(SameGuid(set->ClassID(), GUID{}));
}

}  // namespace
