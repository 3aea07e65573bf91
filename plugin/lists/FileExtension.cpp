#include "plugin/lists/FileExtension.h"

WStr FileExtension(const WStr& name) {
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == KW('.')) return name.substr(i);
    if (name[i] == KW('\\')) break;
  }
  return {};
}
