# The distribution's hardening for the release build and the .deb: the compiler and linker
# flags Debian builds its own packages with, as dpkg-buildflags gives them (stack protector,
# _FORTIFY_SOURCE with the optimisation it needs, relro and immediate binding; PIE is the
# compiler's default), for every target of the tree, libraries included. dpkg-buildflags runs
# in the source folder, so its -ffile-prefix-map turns the source path into "." and a build
# does not depend on where the tree lies.
#
# Not with the sanitizers: _FORTIFY_SOURCE's checked functions hide accesses from ASan.
if(NOT SANDREL_HARDEN)
  return()
endif()
if(SANDREL_SANITIZE OR SANDREL_FUZZ OR CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "SANDREL_HARDEN is for the native release build, not with sanitizers or a cross compiler")
endif()

find_program(SANDREL_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
function(sandrel_buildflags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${SANDREL_DPKG_BUILDFLAGS} --get ${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${name} failed")
  endif()
  set(${out} "${flags}" PARENT_SCOPE)
endfunction()

sandrel_buildflags(CPPFLAGS cppflags)
sandrel_buildflags(CFLAGS cflags)
sandrel_buildflags(CXXFLAGS cxxflags)
sandrel_buildflags(LDFLAGS ldflags)

# Control-flow protection on x86-64 came to dpkg-buildflags with dpkg 1.22 (Debian 13); on
# older releases the build adds what the newer ones give.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$" AND NOT cxxflags MATCHES "-fcf-protection")
  string(APPEND cflags " -fcf-protection")
  string(APPEND cxxflags " -fcf-protection")
endif()

string(APPEND CMAKE_C_FLAGS " ${cppflags} ${cflags}")
string(APPEND CMAKE_CXX_FLAGS " ${cppflags} ${cxxflags}")
foreach(kind EXE SHARED MODULE)
  string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${ldflags}")
endforeach()
message(STATUS "Hardened with the flags of dpkg-buildflags: ${cppflags} ${cxxflags} ${ldflags}")
