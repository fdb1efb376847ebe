#pragma once
// A photo-like colour chart for the tests of colour reduction: a sky with a
// smooth gradient, fields and woods with fine texture, earth and roads, a few
// saturated roofs and fields, and a little sensor noise, as a scanned map or
// aerial photo has them. Standard C++ only.

#include "support/bmp_writer.h"

/// The chart's colour at (x, y) of a `width` x `height` chart, y from the top.
BmpColour PhotoChartColour(int x, int y, int width, int height);
