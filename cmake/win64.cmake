# The Windows configuration, read right after project(Sandrel): GoogleTest built from Debian's
# sources with the cross compiler, the host rc2cpp the resource tables are made with, and the
# native backend, the program and its tests, added once every other directory has defined its
# targets.
if(NOT WIN32)
  return()
endif()

option(SANDREL_WIN32 "Build the native Windows backend and Sandrel.exe" ON)
set(SANDREL_WIN64_OUTPUT_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH
    "Where Sandrel.exe, Quellmark.exe and the Windows test programs land")

# GoogleTest: libgtest-dev ships its sources; the library itself is built for the host only.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/gtest CACHE PATH "GoogleTest built for Windows" FORCE)

# rc2cpp for the build machine, built at configure time (and again whenever its sources change).
set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
set(rc2cpp_sources ${CMAKE_SOURCE_DIR}/tools/rc2cpp.cpp ${CMAKE_SOURCE_DIR}/tools/rcparse.cpp
                   ${CMAKE_SOURCE_DIR}/tools/rcparse.h ${CMAKE_SOURCE_DIR}/tools/bmp_writer.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rc2cpp_sources})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/host-tools -B ${host_tools}
          -DCMAKE_BUILD_TYPE=Release -DSANDREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}
  OUTPUT_QUIET RESULT_VARIABLE host_configure)
if(NOT host_configure EQUAL 0)
  message(FATAL_ERROR "could not configure the host build of rc2cpp in ${host_tools}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${host_tools} RESULT_VARIABLE host_build OUTPUT_QUIET)
if(NOT host_build EQUAL 0)
  message(FATAL_ERROR "could not build the host rc2cpp in ${host_tools}")
endif()
set(SANDREL_HOST_RC2CPP ${host_tools}/rc2cpp CACHE FILEPATH "rc2cpp built for the build machine" FORCE)

# The help-file tests of tests/res look for the host's libmspack, which has no Windows build;
# those tests are Linux-only and never built here, so the name merely satisfies the lookup.
set(SANDREL_MSPACK mspack CACHE FILEPATH "libmspack (Linux-only tests; unused on Windows)")

# The native backend, the program, the Windows tests and the start-up bench's floors. Their
# directories come first; what they take from the rest is named, and so found once everything
# is defined.
if(SANDREL_WIN32)
  add_subdirectory(${CMAKE_SOURCE_DIR}/framework/win32 ${CMAKE_BINARY_DIR}/framework/win32)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/tests/win32)
  include(${CMAKE_SOURCE_DIR}/bench/gui/win64.cmake)
endif()

function(sandrel_win64_finish)
  # Only what runs on Windows is built by default; the Linux-only tools and test programs of
  # the other areas stay defined but are not built.
  foreach(dir tools res tests/framework tests/res tests/settings tests/bitmap tests/app tests/pages)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
      continue()
    endif()
    get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR}/${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      if(NOT target STREQUAL "quellmark_standin")
        set_property(TARGET ${target} PROPERTY EXCLUDE_FROM_ALL TRUE)
      endif()
    endforeach()
  endforeach()
  if(SANDREL_WIN32 AND TARGET quellmark_standin)
    # The stand-in engine goes beside Sandrel.exe under the name the launcher starts.
    set_target_properties(quellmark_standin PROPERTIES OUTPUT_NAME Quellmark
      RUNTIME_OUTPUT_DIRECTORY ${SANDREL_WIN64_OUTPUT_DIR})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL sandrel_win64_finish)
