# Installing and packaging: on Linux `cmake --install` lays out /usr (program, help file,
# manual page, copyright and changelog) and CPack makes the Debian package of it; the Windows
# build packs Sandrel.exe, the help file and a README into a zip. Both carry the version of
# project(), and land in build/packages.
set(SANDREL_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/build/packages CACHE PATH "Where the packages are written")
set(CPACK_OUTPUT_FILE_PREFIX ${SANDREL_PACKAGE_DIR})
set(CPACK_PACKAGE_NAME sandrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sandrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings launcher of the Quellmark terrain engine")
set(CPACK_STRIP_FILES ON)
# The package's dates (SOURCE_DATE_EPOCH): from the last commit, set as cpack starts.
set(CPACK_SANDREL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_project.cmake)
# `make deb` and `make zip` build what goes into their package (the sandrel_package_files
# targets) and nothing else: installing and cpack do not build the whole tree first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(staged ${PROJECT_BINARY_DIR}/packaging)

if(WIN32)
  if(TARGET Sandrel)
    # The help file is compiled by the Linux build (its compiler and repair tool run there).
    set(SANDREL_HELP_FILE ${PROJECT_SOURCE_DIR}/build/ci/Sandrel.chm CACHE FILEPATH
        "Sandrel.chm for the Windows zip, as the Linux build makes it")
    configure_file(${packaging}/README.txt ${staged}/README.txt @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS Sandrel RUNTIME DESTINATION .)
    install(FILES ${SANDREL_HELP_FILE} ${staged}/README.txt DESTINATION .)
    add_custom_target(sandrel_package_files DEPENDS Sandrel)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME Sandrel-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    include(CPack)
  endif()
  return()
endif()

if(NOT TARGET sandrel)
  return()
endif()

include(GNUInstallDirs)
# Directories made by the install are 0755 whatever the umask, as a package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog records the release: its newest entry must name the version of project().
file(STRINGS ${packaging}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^sandrel \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}: ${newest}")
endif()

# The manual page (with the version put in) and the changelog, compressed as Debian wants them:
# at the highest level and without a time stamp, so that a rebuild gives the same bytes.
configure_file(${packaging}/sandrel.1 ${staged}/sandrel.1 @ONLY)
configure_file(${packaging}/changelog ${staged}/changelog COPYONLY)
find_program(SANDREL_GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${staged}/sandrel.1.gz ${staged}/changelog.gz
  COMMAND ${SANDREL_GZIP} -9nkf ${staged}/sandrel.1 ${staged}/changelog
  DEPENDS ${staged}/sandrel.1 ${staged}/changelog
  COMMENT "Compressing the manual page and the changelog"
  VERBATIM)
add_custom_target(sandrel_docs ALL DEPENDS ${staged}/sandrel.1.gz ${staged}/changelog.gz)

install(TARGETS sandrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped program keeps no build notes either, as Debian's own packaging tools leave it.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/sandrel\")
endif()")
install(FILES ${PROJECT_BINARY_DIR}/Sandrel.chm DESTINATION ${CMAKE_INSTALL_DATADIR}/sandrel)
install(FILES ${staged}/sandrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/copyright ${staged}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sandrel)
# The icon in the desktop's icon theme, at the sizes res/ draws it in.
foreach(size IN LISTS SANDREL_ICON_SIZES)
  install(FILES ${SANDREL_ICON_DIR}/sandrel-${size}.png RENAME sandrel.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(sandrel_package_files DEPENDS sandrel sandrel_help sandrel_docs sandrel_icon_images)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(SANDREL_MAINTAINER "Sandrel developers <sandrel@example.org>" CACHE STRING "The package's maintainer")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SANDREL_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": Debian keeps that section for programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links decide the dependencies (dpkg-shlibdeps), none by hand. The
# engine is a Windows program, which runs under Wine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack puts the summary on the Description line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Sandrel shows the settings of the Quellmark terrain engine in a window with
four tabs (General, Texture, OpenGL, Controls), with previews of the height
map and the texture. OK rewrites terrain.ini in the engine's folder and
starts the engine from there, through Wine when it is a Windows program.
`sandrel --check` checks a terrain.ini without a window, for scripts.")
include(CPack)
