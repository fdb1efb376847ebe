#pragma once
// GIF files for the tests (Qt reads GIF but cannot write it). Every pixel is
// coded on its own behind a clear code, so the LZW table never grows and the
// codes keep one width: large files, but simple to check. Standard C++ only.

#include <cstdint>
#include <functional>
#include <vector>

#include "support/bmp_writer.h"

/// A GIF with a global colour table of 256 entries (`palette`, missing ones
/// black) and, when `frames` is true, one image of `width` x `height` whose
/// pixel (x, y) (y from the top) is palette index `pixel(x, y)`; without a
/// frame the file ends right after the colour table, as a damaged file may.
std::vector<std::uint8_t> MakeGif(int width, int height, const std::vector<BmpColour>& palette,
                                  const std::function<int(int x, int y)>& pixel, bool frames = true);
