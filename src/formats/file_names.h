#pragma once
// The name rules of the reference-file workflows, on UTF-8 names. Names are
// compared exactly, byte for byte, case included.

#include <string_view>

namespace formats
{

/// The text before the first "." of `fileName`, or all of it when it has none:
/// "harbour.old.bmp" gives "harbour".
std::string_view BaseName(std::string_view fileName);

/// The name without its last extension: "harbour.old.bmp" gives "harbour.old".
std::string_view FileTitle(std::string_view fileName);

/// The part of `path` after its last separator, or all of it when it has
/// none. "/" separates everywhere; on Windows "\" separates too.
std::string_view FileNameOfPath(std::string_view path);

} // namespace formats
