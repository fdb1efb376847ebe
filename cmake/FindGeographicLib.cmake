# GeographicLib as the imported target GeographicLib::GeographicLib.
#
# Debian's libgeographiclib-dev installs no CMake package of its own, only a
# find module under /usr/share/cmake/geographiclib that sets plain variables.
# This module looks for the same header and library where CMake looks for
# any package (CMAKE_PREFIX_PATH, the system's folders) and wraps them in a
# target, so that no folder is written into our CMake files.
find_path(GeographicLib_INCLUDE_DIR NAMES GeographicLib/Config.h)
# The library is called GeographicLib since version 2, Geographic before.
find_library(GeographicLib_LIBRARY NAMES GeographicLib Geographic)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GeographicLib
  REQUIRED_VARS GeographicLib_LIBRARY GeographicLib_INCLUDE_DIR)
mark_as_advanced(GeographicLib_INCLUDE_DIR GeographicLib_LIBRARY)

if(GeographicLib_FOUND AND NOT TARGET GeographicLib::GeographicLib)
  add_library(GeographicLib::GeographicLib UNKNOWN IMPORTED)
  set_target_properties(GeographicLib::GeographicLib PROPERTIES
    IMPORTED_LOCATION ${GeographicLib_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${GeographicLib_INCLUDE_DIR})
endif()
