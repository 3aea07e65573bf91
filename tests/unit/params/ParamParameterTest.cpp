// Parameters and alias parameters as the plug-in uses them: values, bounds,
// defaults, flags, enabling conditions, aliases and display names.
#include <gtest/gtest.h>

#include "base/ComPtr.h"
#include "params/ParameterAlias.h"
#include "tests/unit/params/ParamTestSupport.h"

namespace {

using namespace paramtest;

// Owns a test set for the duration of a test.
struct SetFixture : ::testing::Test {
  ComPtr<TestSet> set = ComPtr<TestSet>::Share(TestSet::Create());
};

using ParameterValue = SetFixture;

TEST_F(ParameterValue, NumberBoundsApplyOnlyWhenOfTheParametersKindAndNotZero) {
  auto* p = new Tqov7zParameter(*set.Get());
  p->VarType = VT_UI4;
  p->MinValue = UI4(5);
  p->MaxValue = UI4(10);
  p->SetDefault();
  const struct {
    PROPVARIANT value;
    HRESULT raised;
    std::uint32_t stored;  // after the call
  } cases[] = {
      {UI4(4), E_INVALIDARG, 5}, {UI4(5), S_OK, 5},           {UI4(11), E_INVALIDARG, 5},
      {UI4(10), S_OK, 10},       {Text(KW("7")), S_OK, 7},    {Text(KW("11")), E_INVALIDARG, 7},
      {UI8(8), S_OK, 8},         {Bool(-1), E_INVALIDARG, 8},  // 1 is below 5
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RaisedCode([&] { EXPECT_TRUE(p->SetValue(c.value)); }), c.raised);
    EXPECT_EQ(p->Value.vt, VT_UI4);
    EXPECT_EQ(p->Value.ulVal, c.stored);
  }
  // A lower bound of 0 is none; an upper bound of another kind is ignored.
  p->MinValue = UI4(0);
  p->MaxValue = UI8(3);
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(0); }), S_OK);
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(4000000000u); }), S_OK);
  EXPECT_EQ(p->Value.ulVal, 4000000000u);
}

TEST_F(ParameterValue, SixtyFourBitBoundsCompareUnsigned) {
  auto* p = new Tqov7zParameter(*set.Get());
  p->VarType = VT_UI8;
  p->MinValue = UI4(100);  // not of the parameter's kind: no bound
  p->MaxValue = UI8(0x8000000000000000ull);
  p->SetDefault();
  EXPECT_EQ(p->Value.uhVal.QuadPart, 0u);  // the lower bound is not a VT_UI8
  EXPECT_EQ(RaisedCode([&] { p->SetValue(UI8(0x8000000000000000ull)); }), S_OK);
  EXPECT_EQ(RaisedCode([&] { p->SetValue(UI8(0x8000000000000001ull)); }), E_INVALIDARG);
  EXPECT_EQ(p->Value.uhVal.QuadPart, 0x8000000000000000ull);
  EXPECT_EQ(RaisedCode([&] { p->SetValue(UI4(3)); }), S_OK);
  EXPECT_EQ(p->Value.vt, VT_UI8);
  EXPECT_EQ(p->Value.uhVal.QuadPart, 3u);
}

TEST_F(ParameterValue, TextBoundsCountUtf16Units) {
  auto* p = new Tqov7zParameter(*set.Get());
  p->VarType = VT_BSTR;
  p->MinValue = UI8(2);
  p->MaxValue = UI4(3);
  p->SetDefault();
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("abcd")); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("a")); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("abc")); }), S_OK);
  EXPECT_EQ(Narrow(p->Value.bstrVal), "abc");
  // A surrogate pair is two units: with "a" that makes three.
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("a\xD83D\xDE00")); }), S_OK);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("ab\xD83D\xDE00")); }), E_INVALIDARG);
  // Numbers become their digits and are measured as text.
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(1000); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(100); }), S_OK);
  EXPECT_EQ(Narrow(p->Value.bstrVal), "100");
  EXPECT_EQ(RaisedCode([&] { p->SetValue(Bool(0)); }), S_OK);
  EXPECT_EQ(Narrow(p->Value.bstrVal), "off");
}

TEST_F(ParameterValue, SwitchParameterHasNoBoundsAndRefusesOtherWords) {
  auto* p = new Tqov7zParameter(*set.Get());
  p->VarType = VT_BOOL;
  p->MaxValue = UI4(1);
  p->SetDefault();
  EXPECT_EQ(p->Value.vt, VT_BOOL);
  EXPECT_EQ(p->Value.boolVal, 0);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("Yes")); }), S_OK);
  EXPECT_EQ(p->Value.boolVal, -1);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("maybe")); }), E_INVALIDARG);
  EXPECT_EQ(p->Value.boolVal, -1);
  EXPECT_EQ(RaisedCode([&] { p->SetValue(Kind(VT_EMPTY)); }), E_INVALIDARG);
}

TEST_F(ParameterValue, ReportNotAppliedStoresButAnswersFalse) {
  auto* p = new Tqov7zParameter(*set.Get());
  p->VarType = VT_UI4;
  p->ReportNotApplied = true;
  EXPECT_FALSE(p->SetAsUInt32(9));
  EXPECT_EQ(p->Value.ulVal, 9u);
}

TEST_F(ParameterValue, DefaultsByKindBoundAndFirstAlias) {
  auto* text = new Tqov7zParameter(*set.Get());
  text->VarType = VT_BSTR;
  auto* bounded = new Tqov7zParameter(*set.Get());
  bounded->VarType = VT_UI4;
  bounded->MinValue = UI4(5);
  auto* wide = new Tqov7zParameter(*set.Get());
  wide->VarType = VT_UI8;
  wide->MinValue = UI8(1ull << 33);
  auto* aliased = new Tqov7zParameterAlias(*set.Get());
  aliased->VarType = VT_UI4;
  aliased->AddAlias(KW("big"), 70000u);  // beyond 16 bits
  aliased->AddAlias(KW("nine"), 9u);
  auto* textAliased = new Tqov7zParameterAlias(*set.Get());
  textAliased->VarType = VT_BSTR;
  textAliased->AddAlias(KW("first"));
  auto* empty = new Tqov7zParameter(*set.Get());

  // Values set before are thrown away by the reset.
  bounded->SetAsUInt32(8);
  aliased->SetAsUInt32(9);
  textAliased->SetAsText(KW("other"));
  set->ResetDefaults();

  EXPECT_EQ(text->Value.vt, VT_BSTR);
  EXPECT_EQ(text->Value.bstrVal, nullptr);
  EXPECT_EQ(bounded->Value.ulVal, 5u);
  EXPECT_EQ(wide->Value.uhVal.QuadPart, 1ull << 33);
  EXPECT_EQ(aliased->Value.ulVal, 70000u);
  EXPECT_EQ(Narrow(textAliased->Value.bstrVal), "first");
  // The default is a copy, not the alias's own string.
  EXPECT_NE(textAliased->Value.bstrVal, textAliased->GetAliasValue(0).bstrVal);
  EXPECT_EQ(empty->Value.vt, VT_EMPTY);
}

TEST_F(ParameterValue, DefaultOfAnUnknownKindFailsAndLeavesTheValueEmpty) {
  auto* good = new Tqov7zParameter(*set.Get());
  good->VarType = VT_UI4;
  auto* bad = new Tqov7zParameter(*set.Get());
  bad->VarType = VT_I4;
  auto* after = new Tqov7zParameter(*set.Get());
  after->VarType = VT_UI4;
  good->SetAsUInt32(3);
  after->SetAsUInt32(3);
  EXPECT_EQ(RaisedCode([&] { set->ResetDefaults(); }), E_INVALIDARG);
  EXPECT_EQ(good->Value.ulVal, 0u);    // reset before the failure
  EXPECT_EQ(after->Value.ulVal, 3u);   // not reached
  EXPECT_EQ(bad->Value.vt, VT_EMPTY);  // still clearable, nothing half-made
}

using ParameterFlags = SetFixture;

TEST_F(ParameterFlags, CreationAndSetters) {
  auto* plain = new Tqov7zParameter(*set.Get());
  auto* alias = new Tqov7zParameterAlias(*set.Get());
  EXPECT_EQ(plain->GetFlags(), 3u);
  EXPECT_EQ(alias->GetFlags(), 7u);
  alias->SetStrict(true);
  EXPECT_EQ(alias->GetFlags(), 15u);
  EXPECT_TRUE(alias->IsStrict());
  alias->SetStrict(false);
  EXPECT_EQ(alias->GetFlags(), 7u);  // the list flag stays
  alias->SetListFlag(false);
  alias->SetStrict(true);
  EXPECT_EQ(alias->GetFlags(), 15u);  // strict brings the list flag back
  plain->SetEnabled(false);
  plain->SetParamFlag1(false);
  EXPECT_EQ(plain->GetFlags(), 0u);
  plain->SetListFlag(true);
  EXPECT_EQ(plain->GetFlags(), 4u);
}

TEST_F(ParameterFlags, MasterConditionsClearOnlyTheEnabledFlag) {
  auto* master = new Tqov7zParameterAlias(*set.Get());
  master->VarType = VT_UI4;
  for (std::uint32_t i = 0; i < 4; ++i) master->AddAlias(KW("choice"), i * 10);
  master->SetAsUInt32(20);  // alias index 2
  ASSERT_EQ(master->GetAliasIndex(), 2);
  auto* toggle = new Tqov7zParameter(*set.Get());
  toggle->VarType = VT_BOOL;
  toggle->SetDefault();  // off
  auto* slave = new Tqov7zParameter(*set.Get());
  slave->SetListFlag(true);  // flags 1, 2, 4

  const struct {
    Tqov7zBaseParameter* master;
    std::uint8_t condition;
    std::uint32_t operand;
    bool passes;
  } cases[] = {
      {master, 0, 0, true},  {toggle, 1, 0, false},  // toggle is off
      {master, 1, 0, true},                          // not a switch: passes
      {master, 2, 2, true},  {master, 2, 1, false},  {master, 3, 1, true}, {master, 3, 2, false},
      {master, 4, 1, true},  {master, 4, 2, false},  {master, 5, 2, true}, {master, 5, 3, false},
      {master, 6, 3, true},  {master, 6, 2, false},  {master, 7, 3, true}, {master, 7, 2, false},
      {master, 8, 99, true}, {master, 255, 0, true},
  };
  for (const auto& c : cases) {
    slave->Masters = {Tqov7zMasterRec{c.master, c.condition, c.operand}};
    EXPECT_EQ(slave->GetFlags(), c.passes ? 7u : 5u) << "condition " << int(c.condition);
    EXPECT_EQ(slave->Flags, 7u);  // the stored word is not changed
  }
  toggle->SetAsText(KW("on"));
  slave->Masters = {Tqov7zMasterRec{toggle, 1, 0}};
  EXPECT_EQ(slave->GetFlags(), 7u);
  // A disabled master disables its dependants at any depth (condition 0).
  auto* third = new Tqov7zParameter(*set.Get());
  third->Masters = {Tqov7zMasterRec{slave, 0, 0}};
  EXPECT_EQ(third->GetFlags(), 3u);
  slave->Masters = {Tqov7zMasterRec{master, 2, 0}};
  EXPECT_EQ(third->GetFlags(), 1u);
  // Every record must pass.
  slave->Masters = {Tqov7zMasterRec{master, 2, 2}, Tqov7zMasterRec{master, 4, 5}};
  EXPECT_EQ(slave->GetFlags(), 5u);
}

using AliasParameter = SetFixture;

TEST_F(AliasParameter, StrictNumberTakesOnlyAliasValuesOrDisplayNames) {
  Tqov7zParameterAlias* p = AnsiUtf8Parameter(*set.Get(), true);
  p->SetDefault();
  const struct {
    PROPVARIANT value;
    HRESULT raised;
    std::uint32_t stored;
  } cases[] = {
      {UI4(1), S_OK, 1},
      {UI4(3), E_INVALIDARG, 1},
      {UI4(0), S_OK, 0},
      {Text(KW("1")), S_OK, 1},
      {Text(KW("3")), E_INVALIDARG, 1},
      {Text(KW("ansi")), S_OK, 0},
      {Text(KW("utf8")), S_OK, 1},
      {Text(KW("@ANSI")), S_OK, 0},
      {Text(KW("@utf8")), S_OK, 1},
      {Text(KW("UTF16")), E_INVALIDARG, 1},
      {Text(KW("@")), E_INVALIDARG, 1},
      {Text(KW("")), E_INVALIDARG, 1},
      {Text(KW(" utf8")), E_INVALIDARG, 1},
      {Bool(0), S_OK, 0},
      {Bool(-1), S_OK, 1},
      {UI8(1), S_OK, 1},
      {UI8(1ull << 32), E_INVALIDARG, 1},
      {Kind(VT_EMPTY), E_INVALIDARG, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RaisedCode([&] { EXPECT_TRUE(p->SetValue(c.value)); }), c.raised)
        << (c.value.vt == VT_BSTR ? Narrow(c.value.bstrVal) : std::to_string(c.value.vt));
    EXPECT_EQ(p->Value.ulVal, c.stored);
  }
}

TEST_F(AliasParameter, NonStrictNumberTakesAnyNumberAndStillKnowsDisplayNames) {
  Tqov7zParameterAlias* p = AnsiUtf8Parameter(*set.Get(), false);
  p->MaxValue = UI4(100);
  p->SetDefault();
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(3); }), S_OK);
  EXPECT_EQ(p->Value.ulVal, 3u);
  EXPECT_EQ(p->GetAliasIndex(), 0);  // no alias has 3
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("UTF8")); }), S_OK);
  EXPECT_EQ(p->Value.ulVal, 1u);
  EXPECT_EQ(p->GetAliasIndex(), 1);
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(101); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("nothing")); }), E_INVALIDARG);
  EXPECT_EQ(p->Value.ulVal, 1u);
}

TEST_F(AliasParameter, StrictTextPrefersTheExactCaseThenIgnoresCase) {
  auto* p = new Tqov7zParameterAlias(*set.Get());
  p->VarType = VT_BSTR;
  p->AddAlias(KW("one"), KW("ab"));
  p->AddAlias(KW("two"), KW("AB"));
  p->AddAlias(KW("@Three"), KW("xyz"));
  p->SetStrict(true);
  p->SetDefault();
  const struct {
    const WCHAR* text;
    HRESULT raised;
    const char* stored;
    std::int32_t index;
  } cases[] = {
      {KW("AB"), S_OK, "AB", 1},      {KW("ab"), S_OK, "ab", 0},           {KW("Ab"), S_OK, "ab", 0},
      {KW("XYZ"), S_OK, "xyz", 2},    {KW("TWO"), S_OK, "AB", 1},          {KW("three"), S_OK, "xyz", 2},
      {KW("@three"), S_OK, "xyz", 2}, {KW("abc"), E_INVALIDARG, "xyz", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RaisedCode([&] { p->SetAsText(c.text); }), c.raised) << Narrow(c.text);
    EXPECT_EQ(Narrow(p->Value.bstrVal), c.stored) << Narrow(c.text);
    EXPECT_EQ(p->GetAliasIndex(), c.index) << Narrow(c.text);
  }
  // A number becomes its digits and must then match an alias.
  EXPECT_EQ(RaisedCode([&] { p->SetAsUInt32(5); }), E_INVALIDARG);
}

TEST_F(AliasParameter, StrictSwitchTakesAnySwitchValue) {
  auto* p = new Tqov7zParameterAlias(*set.Get());
  p->VarType = VT_BOOL;
  p->AddAlias(KW("@Enabled"), Bool(-1));
  p->SetStrict(true);
  p->SetDefault();
  EXPECT_EQ(p->Value.boolVal, -1);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("off")); }), S_OK);
  EXPECT_EQ(p->Value.boolVal, 0);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("enabled")); }), S_OK);
  EXPECT_EQ(p->Value.boolVal, -1);
}

TEST_F(AliasParameter, DisplayNameMatchDoesNotBypassBounds) {
  auto* p = new Tqov7zParameterAlias(*set.Get());
  p->VarType = VT_UI4;
  p->AddAlias(KW("@Huge"), 500u);
  p->AddAlias(KW("@Small"), 5u);
  p->MaxValue = UI4(10);
  p->SetDefault();  // the first alias, not checked against the bounds
  EXPECT_EQ(p->Value.ulVal, 500u);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("small")); }), S_OK);
  EXPECT_EQ(p->Value.ulVal, 5u);
  EXPECT_EQ(RaisedCode([&] { p->SetAsText(KW("huge")); }), E_INVALIDARG);
  EXPECT_EQ(p->Value.ulVal, 5u);
}

TEST_F(AliasParameter, AliasListGrowsInStepsAndSurvivesFailedAdds) {
  auto* p = new Tqov7zParameterAlias(*set.Get());
  EXPECT_EQ(RaisedCode([&] { p->AddAlias(KW("early"), 1u); }), E_INVALIDARG);  // kind not set yet
  EXPECT_EQ(p->GetAliasCount(), 0);
  p->VarType = VT_UI4;
  const std::int32_t capacities[] = {4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 28};
  for (std::uint32_t i = 0; i < 13; ++i) {
    p->AddAlias(KW("n") + WStr(1, static_cast<WCHAR>(KW('a') + i)), i);
    EXPECT_EQ(p->AliasCapacity(), capacities[i]);
  }
  EXPECT_EQ(RaisedCode([&] { p->AddAlias(KW("bad"), Text(KW("x"))); }), E_INVALIDARG);
  EXPECT_EQ(p->GetAliasCount(), 13);
  p->AddAlias(KW("good"), Text(KW("$FF")));
  EXPECT_EQ(p->GetAliasCount(), 14);
  EXPECT_EQ(Narrow(p->GetAliasDisplayName(13)), "good");
  EXPECT_EQ(p->GetAliasValue(13).ulVal, 255u);
  EXPECT_EQ(p->GetItem(12)->Value.ulVal, 12u);
  EXPECT_EQ(Narrow(p->GetItem(0)->DisplayName), "na");
  // Indices beyond the list are refused, not read.
  EXPECT_EQ(RaisedCode([&] { p->GetAliasDisplayName(14); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->GetAliasValue(0xFFFFFFFFu); }), E_INVALIDARG);
  EXPECT_EQ(RaisedCode([&] { p->GetItem(-1); }), E_INVALIDARG);
  p->ClearAliases();
  EXPECT_EQ(p->GetAliasCount(), 0);
  EXPECT_EQ(p->AliasCapacity(), 28);
  EXPECT_FALSE(p->HasAliases());
}

TEST_F(AliasParameter, TextAliasesOwnTheirTexts) {
  auto* p = new Tqov7zParameterAlias(*set.Get());
  p->VarType = VT_BSTR;
  WStr source = KW("%HASH%");
  p->AddAlias(source);
  source = KW("changed");
  EXPECT_EQ(Narrow(p->GetAliasValue(0).bstrVal), "%HASH%");
  EXPECT_EQ(Narrow(p->GetAliasDisplayName(0)), "%HASH%");
  p->AddAlias(KW("number"), 42u);  // converted to the parameter's kind
  EXPECT_EQ(p->GetAliasValue(1).vt, VT_BSTR);
  EXPECT_EQ(Narrow(p->GetAliasValue(1).bstrVal), "42");
}

}  // namespace
