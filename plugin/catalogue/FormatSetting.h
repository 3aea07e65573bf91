// A format's "Create" value taken apart, once, when the catalogue is built:
// the extension, ":", the line format.
#pragma once

#include "platform/Win32.h"

struct FormatSetting {
  // The extension told to the host: the text before the first ":" (the whole
  // value when there is none), the format's name when that is empty;
  // lower-cased, without a "." put in front.
  WStr ReportedExtension;
  // The text after the first ":" (the whole value when there is none): the
  // handler's default line format.
  WStr LineFormat;
};

// The parts of value, the "Create" value of the format named name.
FormatSetting ParseFormatSetting(const WStr& value, const WStr& name);
