// The map files the BMP benchmarks read: 10000 x 10000, and larger.
#pragma once

#include <filesystem>

namespace bench
{

constexpr int kMapSide = 10000; // pixels

// A bottom-up uncompressed `side` x `side` BMP at 8 or 24 bits per pixel
// with varying content (no long constant runs), written once into
// <temp>/kartora-bench and reused by later runs while its size is right.
// Ends the program with a message when the file cannot be written.
std::filesystem::path PrepareMapFile(int bitsPerPixel, int side = kMapSide);

} // namespace bench
