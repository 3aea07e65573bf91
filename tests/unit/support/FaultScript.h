// Faults a fake host object is told to give: a method's name -> the item
// index it fails at (-1 for any) and the result it gives there.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "interfaces/Host7z.h"

namespace fakes {

struct FaultScript {
  std::map<std::string, std::pair<int, HRESULT>> Faults;

  // S_OK unless method is scripted to fail at index.
  HRESULT Fault(const char* method, host::UInt32 index) const {
    const auto it = Faults.find(method);
    if (it == Faults.end()) return S_OK;
    if (it->second.first >= 0 && static_cast<host::UInt32>(it->second.first) != index) return S_OK;
    return it->second.second;
  }
};

}  // namespace fakes
