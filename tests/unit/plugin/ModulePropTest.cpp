// The module's own properties, as the host reads them when it loads the DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "base/Bstr.h"
#include "base/PropValue.h"
#include "plugin/ModuleProp.h"

namespace {

// major << 16 | minor, read from the release's version text (major.minor.patch).
ULONG PackedReleaseVersion() {
  std::istringstream text(KORVANE_VERSION_TEXT);
  ULONG major = 0, minor = 0;
  char dot = 0;
  text >> major >> dot >> minor;
  EXPECT_EQ(dot, '.');
  return (major << 16) | minor;
}

}  // namespace

TEST(GetModuleProp, AnswersInterfaceTypeAndVersionOnly) {
  struct Case {
    PROPID Id;
    VARTYPE Type;
    ULONG Value;
  };
  const Case cases[] = {
      {0, VT_UI4, 0},                       // IUnknown without a virtual destructor, as on Windows
      {1, VT_UI4, PackedReleaseVersion()},  // 1.0.0 shows as 1.00
      {2, VT_EMPTY, 0},
      {0xFFFFFFFFu, VT_EMPTY, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    PROPVARIANT value;
    std::memset(&value, 0, sizeof value);
    ASSERT_EQ(GetModuleProp(c.Id, &value), S_OK);
    EXPECT_EQ(value.vt, c.Type);
    EXPECT_EQ(value.ulVal, c.Value);  // an empty answer leaves the zeros
  }
}

TEST(GetModuleProp, ClearsWhatTheValueHeldAndKeepsWhatItCannotClear) {
  PropValueHolder text;
  text.Ptr()->bstrVal = NewBstr(WStr(KW("left over")));
  text.Ptr()->vt = VT_BSTR;
  // The string is freed (the leak checker of the sanitizer build sees it
  // otherwise) and the answer takes its place.
  EXPECT_EQ(GetModuleProp(1, text.Ptr()), S_OK);
  EXPECT_EQ(text->vt, VT_UI4);

  text.Ptr()->bstrVal = NewBstr(WStr(KW("left over")));
  text.Ptr()->vt = VT_BSTR;
  EXPECT_EQ(GetModuleProp(7, text.Ptr()), S_OK);
  EXPECT_EQ(text->vt, VT_EMPTY);

  PROPVARIANT unknown;
  std::memset(&unknown, 0, sizeof unknown);
  unknown.vt = VT_UNKNOWN;
  EXPECT_EQ(GetModuleProp(1, &unknown), E_INVALIDARG);
  EXPECT_EQ(unknown.vt, VT_UNKNOWN);

  EXPECT_EQ(GetModuleProp(1, nullptr), E_POINTER);
}
