#include "plugin/lists/HashCodePageParameter.h"

#include "base/LocaleText.h"
#include "params/ValueConversion.h"

bool TqovHashCodePageParameter::SetValue(const PROPVARIANT& value) {
  if (value.vt == VT_BSTR) {
    WStr text = ValueText(value);
    UpperCase(text);
    if (text == KW("UTF8-")) return SetAsUInt32(2);
  }
  return Tqov7zParameterAlias::SetValue(value);
}
