#include <cstring>

#include "platform/linux/Types.h"

static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes without padding");

bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
