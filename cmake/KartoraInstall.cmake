# What `cmake --install` puts where (the GNU layout under the prefix), the
# desktop integration files in dist/, and the Debian package that
# `cpack -G DEB` builds from the same rules. The programs, the help files and
# the icons are installed next to their targets; this file names the folders.
include(GNUInstallDirs)

# The id of the desktop entry, the AppStream component, the icon and the
# shared-MIME-info package.
set(KARTORA_APP_ID org.quarnby.Kartora)
# The type of .CAL files, registered by dist/org.quarnby.Kartora.xml.
set(KARTORA_CAL_MIME_TYPE application/x-kartora-cal)
# The release date of PROJECT_VERSION (AppStream release, man pages, Debian
# changelog): set it together with the version.
set(KARTORA_RELEASE_DATE 2026-12-09)
set(KARTORA_HOMEPAGE "https://quarnby.org/kartora" CACHE STRING "Kartora's home page (AppStream, Debian package)")
set(KARTORA_MAINTAINER "Quarnby Applications <kartora@quarnby.org>" CACHE STRING
    "maintainer of the Debian package, name and mail address")

# The help files and the other data of the desktop program, and the same
# folder seen from the programs' folder: the program looks there for its help
# files, wherever the tree was installed.
set(KARTORA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/kartora)
file(RELATIVE_PATH KARTORA_DATADIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/kartora)
set(KARTORA_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kartora)

set(kartora_dist ${PROJECT_SOURCE_DIR}/dist)
set(kartora_dist_out ${PROJECT_BINARY_DIR}/dist)

# Man pages, and the licence and release history where Debian looks for
# them. Compressed as Debian wants them; gzip -n stores no name or time, so
# the same text gives the same bytes.
if(UNIX)
  execute_process(COMMAND date -u -R -d ${KARTORA_RELEASE_DATE} OUTPUT_VARIABLE KARTORA_RELEASE_DATE_RFC2822
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(pages kartora-cli.1)
  if(KARTORA_GUI)
    list(APPEND pages kartora.1)
  endif()
  foreach(file IN LISTS pages ITEMS changelog)
    configure_file(${kartora_dist}/${file}.in ${kartora_dist_out}/${file} @ONLY)
    execute_process(COMMAND gzip -9 -n -c ${kartora_dist_out}/${file} OUTPUT_FILE ${kartora_dist_out}/${file}.gz
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  list(TRANSFORM pages PREPEND ${kartora_dist_out}/)
  list(TRANSFORM pages APPEND .gz)
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${kartora_dist}/copyright ${kartora_dist_out}/changelog.gz DESTINATION ${KARTORA_INSTALL_DOCDIR})
endif()

# The desktop program's menu entry, its AppStream description and the type of
# .CAL files.
if(KARTORA_GUI)
  install(FILES ${kartora_dist}/${KARTORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${kartora_dist}/${KARTORA_APP_ID}.metainfo.xml.in
                 ${kartora_dist_out}/${KARTORA_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${kartora_dist_out}/${KARTORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${kartora_dist}/${KARTORA_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()

# The Debian package: kartora_<version>_<architecture>.deb with everything
# above under /usr, its library dependencies worked out from the binaries.
set(CPACK_PACKAGE_NAME kartora)
set(CPACK_PACKAGE_VENDOR "Quarnby Applications")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference raster maps for a hand-held GPS device")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${kartora_dist}/description.txt)
set(CPACK_PACKAGE_HOMEPAGE_URL ${KARTORA_HOMEPAGE})
set(CPACK_PACKAGE_CONTACT ${KARTORA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs are laid out for Arial's metrics, which Liberation Sans has.
# TIFF scans need Qt's image-format plugins, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-image-formats-plugins")
include(CPack)
