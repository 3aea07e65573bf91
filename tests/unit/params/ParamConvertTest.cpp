// Value conversion: text to integer, switch words, and every pair of kinds.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/PropValue.h"
#include "params/ValueConversion.h"
#include "tests/unit/params/ParamTestSupport.h"

namespace {

using namespace paramtest;

constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::uint64_t UInt64Max = std::numeric_limits<std::uint64_t>::max();

TEST(TextToInt64, AcceptsDecimalAndHexWithSignAndLeadingSpaces) {
  const struct {
    const WCHAR* text;
    std::int64_t expected;
  } cases[] = {
      {KW("0"), 0},
      {KW("7"), 7},
      {KW(" 7"), 7},
      {KW("   +7"), 7},
      {KW("-7"), -7},
      {KW("-0"), 0},
      {KW("007"), 7},
      {KW("$10"), 16},
      {KW("x10"), 16},
      {KW("X10"), 16},
      {KW("0x10"), 16},
      {KW("0X1f"), 31},
      {KW("$fF"), 255},
      {KW("$0b1"), 177},
      {KW("-$10"), -16},
      {KW(" -0x10"), -16},
      {KW("9223372036854775807"), Int64Max},
      {KW("-9223372036854775808"), Int64Min},
      {KW("$7FFFFFFFFFFFFFFF"), Int64Max},
      {KW("-$8000000000000000"), Int64Min},
  };
  for (const auto& c : cases) {
    std::int64_t result = 12345;
    EXPECT_TRUE(TextToInt64(c.text, result)) << Narrow(c.text);
    EXPECT_EQ(result, c.expected) << Narrow(c.text);
  }
}

TEST(TextToInt64, RefusesEmptyTrailingMalformedAndOverflow) {
  const WCHAR* cases[] = {
      KW(""),
      KW(" "),
      KW("+"),
      KW("-"),
      KW("$"),
      KW("x"),
      KW("0x"),
      KW("7 "),
      KW("\t7"),
      KW("7a"),
      KW("0b1"),
      KW("1.5"),
      KW("1e3"),
      KW("--7"),
      KW("+-7"),
      KW("- 7"),
      KW("$ 5"),
      KW("0x-5"),
      KW("1 000"),
      KW("$10g"),
      KW("$$10"),
      KW("9223372036854775808"),
      KW("-9223372036854775809"),
      KW("$8000000000000000"),
      KW("$FFFFFFFFFFFFFFFF"),
      KW("99999999999999999999"),
      KW("18446744073709551616"),
      KW("\xFF10"),  // FULLWIDTH DIGIT ZERO is no digit here
  };
  for (const WCHAR* text : cases) {
    std::int64_t result = 12345;
    EXPECT_FALSE(TextToInt64(text, result)) << Narrow(text);
  }
  std::int64_t result = 0;
  EXPECT_FALSE(TextToInt64(nullptr, result));
}

TEST(ParseSwitchWord, KnowsOnOffYesNoInAnyCaseAndNothingElse) {
  const struct {
    const WCHAR* text;
    bool recognised;
    bool value;
  } cases[] = {
      {KW("off"), true, false},  {KW("OFF"), true, false}, {KW("No"), true, false},
      {KW("on"), true, true},    {KW("On"), true, true},   {KW("YES"), true, true},
      {KW("yes"), true, true},   {KW("of"), false, false}, {KW("yes "), false, false},
      {KW(" no"), false, false}, {KW(""), false, false},   {KW("true"), false, false},
      {KW("1"), false, false},   {KW("0"), false, false},  {KW("onn"), false, false},
  };
  for (const auto& c : cases) {
    bool value = !c.value;
    EXPECT_EQ(ParseSwitchWord(c.text, value), c.recognised) << Narrow(c.text);
    if (c.recognised) {
      EXPECT_EQ(value, c.value) << Narrow(c.text);
    }
  }
}

// What a converted value must hold: its kind and payload (a text by content).
struct Expected {
  HRESULT hr;
  VARTYPE vt;
  std::uint64_t number;  // VT_UI4, VT_UI8; VT_BOOL as its 16-bit value
  const char* text;      // VT_BSTR
};

Expected Fails() { return {E_INVALIDARG, VT_EMPTY, 0, nullptr}; }
Expected Number(VARTYPE vt, std::uint64_t n) { return {S_OK, vt, n, nullptr}; }
Expected Switch(std::int16_t b) { return {S_OK, VT_BOOL, static_cast<std::uint16_t>(b), nullptr}; }
Expected Texted(const char* text) { return {S_OK, VT_BSTR, 0, text}; }

std::string Describe(const PROPVARIANT& v) {
  switch (v.vt) {
    case VT_BSTR: return "BSTR '" + Narrow(v.bstrVal) + "'";
    case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
    case VT_UI4: return "UI4 " + std::to_string(v.ulVal);
    case VT_UI8: return "UI8 " + std::to_string(v.uhVal.QuadPart);
    default: return "kind " + std::to_string(v.vt);
  }
}

TEST(ConvertValue, EveryPairOfKinds) {
  const struct {
    PROPVARIANT source;
    VARTYPE target;
    Expected expected;
  } cases[] = {
      // to text
      {Text(KW("abc")), VT_BSTR, Texted("abc")},
      {Text(nullptr), VT_BSTR, Texted("")},
      {Bool(-1), VT_BSTR, Texted("on")},
      {Bool(1), VT_BSTR, Texted("on")},
      {Bool(0), VT_BSTR, Texted("off")},
      {UI4(0), VT_BSTR, Texted("0")},
      {UI4(4294967295u), VT_BSTR, Texted("4294967295")},
      {UI8(UInt64Max), VT_BSTR, Texted("18446744073709551615")},
      {UI8(0), VT_BSTR, Texted("0")},
      // to switch
      {Text(KW("YES")), VT_BOOL, Switch(-1)},
      {Text(KW("Off")), VT_BOOL, Switch(0)},
      {Text(KW("no")), VT_BOOL, Switch(0)},
      {Text(KW("1")), VT_BOOL, Fails()},
      {Text(KW("true")), VT_BOOL, Fails()},
      {Text(KW("on ")), VT_BOOL, Fails()},
      {Text(nullptr), VT_BOOL, Fails()},
      {Bool(5), VT_BOOL, Switch(5)},  // copied unchanged
      {Bool(0), VT_BOOL, Switch(0)},
      {UI4(7), VT_BOOL, Switch(-1)},
      {UI4(0), VT_BOOL, Switch(0)},
      {UI8(1ull << 40), VT_BOOL, Switch(-1)},
      {UI8(0), VT_BOOL, Switch(0)},
      // to 32-bit number
      {Text(KW("4294967295")), VT_UI4, Number(VT_UI4, 4294967295u)},
      {Text(KW("4294967296")), VT_UI4, Fails()},
      {Text(KW("-1")), VT_UI4, Fails()},
      {Text(KW("-0")), VT_UI4, Number(VT_UI4, 0)},
      {Text(KW("$10")), VT_UI4, Number(VT_UI4, 16)},
      {Text(KW("0x10")), VT_UI4, Number(VT_UI4, 16)},
      {Text(KW("$FFFFFFFF")), VT_UI4, Number(VT_UI4, 4294967295u)},
      {Text(KW(" 7")), VT_UI4, Number(VT_UI4, 7)},
      {Text(KW("7 ")), VT_UI4, Fails()},
      {Text(KW("")), VT_UI4, Fails()},
      {Bool(-1), VT_UI4, Number(VT_UI4, 1)},
      {Bool(2), VT_UI4, Number(VT_UI4, 1)},
      {Bool(0), VT_UI4, Number(VT_UI4, 0)},
      {UI4(123456789), VT_UI4, Number(VT_UI4, 123456789)},
      {UI8(4294967295u), VT_UI4, Number(VT_UI4, 4294967295u)},
      {UI8(4294967296u), VT_UI4, Fails()},
      // to 64-bit number
      {Text(KW("9223372036854775807")), VT_UI8, Number(VT_UI8, 9223372036854775807u)},
      {Text(KW("9223372036854775808")), VT_UI8, Fails()},
      {Text(KW("18446744073709551615")), VT_UI8, Fails()},
      {Text(KW("-1")), VT_UI8, Fails()},
      {Text(KW("$FF")), VT_UI8, Number(VT_UI8, 255)},
      {Bool(-1), VT_UI8, Number(VT_UI8, 1)},
      {Bool(0), VT_UI8, Number(VT_UI8, 0)},
      {UI4(4294967295u), VT_UI8, Number(VT_UI8, 4294967295u)},
      {UI8(UInt64Max), VT_UI8, Number(VT_UI8, UInt64Max)},
      // kinds without a conversion
      {Kind(VT_EMPTY), VT_BSTR, Fails()},
      {Kind(VT_EMPTY), VT_UI4, Fails()},
      {Kind(VT_EMPTY), VT_BOOL, Fails()},
      {Kind(VT_I4), VT_UI4, Fails()},
      {Kind(VT_I8), VT_UI8, Fails()},
      {Kind(VT_FILETIME), VT_BSTR, Fails()},
      {UI4(1), VT_I4, Fails()},
      {UI4(1), VT_EMPTY, Fails()},
      {Text(KW("1")), VT_I8, Fails()},
      {Bool(-1), VT_UI2, Fails()},
  };
  for (const auto& c : cases) {
    const std::string what = Describe(c.source) + " to kind " + std::to_string(c.target);
    // A failure must leave the destination exactly as it was.
    PropValueHolder dest;
    dest.Ptr()->vt = VT_UI4;
    dest.Ptr()->ulVal = 0xDEADBEEF;
    EXPECT_EQ(ConvertValue(c.source, c.target, *dest.Ptr()), c.expected.hr) << what;
    if (c.expected.hr != S_OK) {
      EXPECT_EQ(dest->vt, VT_UI4) << what;
      EXPECT_EQ(dest->ulVal, 0xDEADBEEFu) << what;
      continue;
    }
    ASSERT_EQ(dest->vt, c.expected.vt) << what;
    switch (c.expected.vt) {
      case VT_BSTR:
        ASSERT_NE(dest->bstrVal, nullptr) << what;
        EXPECT_EQ(Narrow(dest->bstrVal), c.expected.text) << what;
        EXPECT_EQ(SysStringLen(dest->bstrVal), std::string(c.expected.text).size()) << what;
        break;
      case VT_BOOL: EXPECT_EQ(static_cast<std::uint16_t>(dest->boolVal), c.expected.number) << what; break;
      case VT_UI4: EXPECT_EQ(dest->ulVal, c.expected.number) << what; break;
      default: EXPECT_EQ(dest->uhVal.QuadPart, c.expected.number) << what; break;
    }
  }
}

TEST(ConvertValue, ReplacesAnOwnedTextAndConvertsInPlace) {
  PropValueHolder dest;
  ASSERT_EQ(ConvertValue(Text(KW("first")), VT_BSTR, *dest.Ptr()), S_OK);
  BSTR first = dest->bstrVal;
  EXPECT_NE(first, nullptr);
  // The old text is freed (a leak or double free shows under the sanitizers).
  ASSERT_EQ(ConvertValue(Text(KW("second")), VT_BSTR, *dest.Ptr()), S_OK);
  EXPECT_EQ(Narrow(dest->bstrVal), "second");
  // Source and destination the same value: the text becomes a number.
  ASSERT_EQ(ConvertValue(Text(KW("$20")), VT_BSTR, *dest.Ptr()), S_OK);
  ASSERT_EQ(ConvertValue(*dest, VT_UI4, *dest.Ptr()), S_OK);
  EXPECT_EQ(dest->vt, VT_UI4);
  EXPECT_EQ(dest->ulVal, 32u);
  ASSERT_EQ(ConvertValue(*dest, VT_BSTR, *dest.Ptr()), S_OK);
  EXPECT_EQ(Narrow(dest->bstrVal), "32");
  // A text source with an embedded terminator is read up to it.
  BSTR embedded = SysAllocStringLen(KW("ab\0cd"), 5);
  PROPVARIANT source = Text(embedded);
  ASSERT_EQ(ConvertValue(source, VT_BSTR, *dest.Ptr()), S_OK);
  EXPECT_EQ(SysStringLen(dest->bstrVal), 2u);
  SysFreeString(embedded);
}

TEST(ConvertValue, RaisesWhenTheDestinationCannotBeCleared) {
  PROPVARIANT dest = Kind(VT_UNKNOWN);
  EXPECT_EQ(RaisedCode([&] { ConvertValue(Text(KW("x")), VT_BSTR, dest); }), E_INVALIDARG);
  EXPECT_EQ(dest.vt, VT_UNKNOWN);
  // Without an applicable conversion nothing is cleared and nothing raised.
  EXPECT_EQ(ConvertValue(Kind(VT_EMPTY), VT_BSTR, dest), E_INVALIDARG);
  EXPECT_EQ(dest.vt, VT_UNKNOWN);
}

}  // namespace
