#pragma once

#include <vector>

// A one-dimensional bar code as the widths of its elements in pixels, bar first, then bars and
// spaces alternating. The quiet zones around it are the caller's.
using BarPattern = std::vector<int>;
