#pragma once

#include <cstddef>
#include <vector>

#include "plugin/lists/text/LineLayout.h"

// A line of the layout (see ParseLineLayout): the path, the algorithm's name
// and the digest's hex digits go in as they are and are never taken for
// placeholders themselves. digest holds size bytes in the order the line
// prints them (InPrintedOrder).
WStr ComposeLine(const std::vector<LinePiece>& layout, const WStr& path, const WStr& hashName,
                 const BYTE* digest, std::size_t size);
