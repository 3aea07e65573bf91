#include "plugin/catalogue/FormatSetting.h"

#include "base/LocaleText.h"

FormatSetting ParseFormatSetting(const WStr& value, const WStr& name) {
  FormatSetting parts;
  const auto colon = value.find(KW(':'));
  // A value without ":" is both the reported extension and the line format.
  const WStr before = colon == WStr::npos ? value : value.substr(0, colon);
  parts.LineFormat = colon == WStr::npos ? value : value.substr(colon + 1);
  parts.ReportedExtension = LowerCased(before.empty() ? name : before);
  return parts;
}
