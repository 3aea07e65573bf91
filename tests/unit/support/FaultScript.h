// Faults a fake host object is told to give: a method's name -> the item
// index it fails at (-1 for any) and the result it gives there; and the calls
// that came from a thread other than the object's.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <utility>

#include "interfaces/Host7z.h"

namespace fakes {

struct FaultScript {
  std::map<std::string, std::pair<int, HRESULT>> Faults;
  // The host's objects are called on the thread that made them only: calls
  // from any other thread are counted here.
  std::thread::id Owner = std::this_thread::get_id();
  mutable std::atomic<int> ForeignCalls{0};

  void Touch() const {
    if (std::this_thread::get_id() != Owner) ++ForeignCalls;
  }

  // S_OK unless method is scripted to fail at index.
  HRESULT Fault(const char* method, host::UInt32 index) const {
    Touch();
    const auto it = Faults.find(method);
    if (it == Faults.end()) return S_OK;
    if (it->second.first >= 0 && static_cast<host::UInt32>(it->second.first) != index) return S_OK;
    return it->second.second;
  }
};

}  // namespace fakes
