// Growth of the framework's lists (parameters of a set, aliases of a
// parameter): a list that is full grows in steps, not by one entry.
#pragma once

#include <cstdint>

// The capacity after the next growth: by 4 up to a capacity of 8, by 16 up to
// 64, then by a quarter. From 0: 4, 8, 12, 28, 44, 60, 76, 95, ...
constexpr std::int32_t GrowCapacity(std::int32_t capacity) {
  if (capacity <= 8) return capacity + 4;
  if (capacity <= 64) return capacity + 16;
  return capacity + capacity / 4;
}
