#include "plugin/lists/HashFormatParameter.h"

#include <algorithm>

#include "base/Bstr.h"
#include "base/LocaleText.h"
#include "params/ValueConversion.h"

bool TqovHashFormatParameter::SetValue(const PROPVARIANT& value) {
  if (value.vt != VT_BSTR) return Tqov7zParameterAlias::SetValue(value);
  WStr text = ValueText(value);
  UpperCase(text);
  std::replace(text.begin(), text.end(), KW('_'), KW(' '));
  BstrHolder normalised(NewBstr(text));
  PROPVARIANT converted = EmptyValue();
  converted.vt = VT_BSTR;
  converted.bstrVal = normalised.Get();
  return Tqov7zParameterAlias::SetValue(converted);
}
