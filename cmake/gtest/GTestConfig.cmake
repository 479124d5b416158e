# GoogleTest for the Windows build: the targets come from Debian's sources, compiled with the
# cross compiler by cmake/win64.cmake; this names them as find_package(GTest) does.
if(NOT TARGET gtest OR NOT TARGET gtest_main)
  set(GTest_FOUND FALSE)
  return()
endif()
foreach(lib gtest gtest_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
set(GTest_FOUND TRUE)
