// Milliseconds of the monotonic clock, wrapping at 2^32 like the Windows tick
// count, unless the tests fix the value.
#include <time.h>

#include <atomic>

#include "platform/linux/Api.h"
#include "platform/linux/State.h"
#include "platform/linux/TestControl.h"

namespace {

constexpr long long kRealClock = -1;
std::atomic<long long> fixedTicks{kRealClock};

}  // namespace

DWORD GetTickCount() {
  const long long fixed = fixedTicks.load();
  if (fixed >= 0) return static_cast<DWORD>(fixed);
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<unsigned long long>(now.tv_sec) * 1000u +
                  static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}

namespace standin {

// Any negative value means the real clock.
void SetTickCount(long long ticks) { fixedTicks.store(ticks < 0 ? kRealClock : ticks); }

namespace detail {

void ResetTickCount() { SetTickCount(kRealClock); }

}  // namespace detail
}  // namespace standin
