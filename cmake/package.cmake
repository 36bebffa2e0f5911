# A Debian package of what `cmake --install` places, built by `cpack -G DEB` in a release build
# folder. dpkg-shlibdeps reads the libraries the programs link to and writes the dependencies;
# the copyright and changelog files Debian asks for are made here and go into the package only.

set(QUORVELA_PACKAGE_MAINTAINER "Quorvela developers <maintainers@quorvela.org>"
    CACHE STRING "Maintainer field of the Debian package: name and address")

set(QUORVELA_DEBIAN_DOC ${CMAKE_BINARY_DIR}/debian-doc)
set(QUORVELA_DEBIAN_DOC_DEST ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvela)

string(TIMESTAMP QUORVELA_YEAR "%Y" UTC)
file(WRITE ${QUORVELA_DEBIAN_DOC}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: Quorvela\n"
     "Upstream-Contact: ${QUORVELA_PACKAGE_MAINTAINER}\n"
     "\n"
     "Files: *\n"
     "Copyright: ${QUORVELA_YEAR} Quorvela developers\n"
     "License: proprietary\n"
     " All rights reserved. The program may be used as delivered; it may not be\n"
     " redistributed without the permission of its authors.\n")

# One entry for the version being packaged. Its date is that of the configuration, so a
# package built again from the same build folder is the same.
string(TIMESTAMP QUORVELA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${QUORVELA_DEBIAN_DOC}/changelog
     "quorvela (${PROJECT_VERSION}) unstable; urgency=medium\n"
     "\n"
     "  * Quorvela ${PROJECT_VERSION}.\n"
     "\n"
     " -- ${QUORVELA_PACKAGE_MAINTAINER}  ${QUORVELA_CHANGELOG_DATE}\n")
# Debian keeps changelogs compressed to the most, without a name or time stamp inside.
execute_process(COMMAND gzip -9nf ${QUORVELA_DEBIAN_DOC}/changelog RESULT_VARIABLE gzipStatus)
if(NOT gzipStatus EQUAL 0)
  message(WARNING "gzip failed: the Debian package will lack its changelog")
endif()

install(FILES ${QUORVELA_DEBIAN_DOC}/copyright ${QUORVELA_DEBIAN_DOC}/changelog.gz
        DESTINATION ${QUORVELA_DEBIAN_DOC_DEST} COMPONENT debian EXCLUDE_FROM_ALL)

# Everything of a plain install, and the Debian files besides.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
                                 "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvela)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORVELA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found among the programs' linked libraries.
string(REGEX MATCH "^[0-9]+" QUORVELA_ICU_MAJOR "${ICU_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libicu${QUORVELA_ICU_MAJOR}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "charts the focal lengths, ISO, apertures and shutter speeds of your photos
Quorvela reads the EXIF metadata of every JPEG photo in a folder, optionally
with its subfolders, and charts how often each focal length (as a 35 mm
equivalent or the real lens length), ISO setting, aperture and shutter speed
was used. A path list names every photo with its value and shows it with a
summary of its exposure. Runs can be limited to chosen cameras or maker-note
values, and a camera table supplies 35 mm equivalents for compact cameras that
do not record one.
.
The package holds the desktop program quorvela and the command-line companion
quorvela-cli, which runs the same analysis without a window.")
include(CPack)
