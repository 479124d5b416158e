# fuzz/chm.cmake: the help-file reader and the help command's topic under libFuzzer. The reader
# and the command are compiled into the target so that libFuzzer sees their branches; libmspack
# underneath is the system's, uninstrumented.
find_library(SANDREL_MSPACK mspack REQUIRED)
add_executable(fuzz_chm
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_chm.cpp
  ${PROJECT_SOURCE_DIR}/framework/wx/chm_file.cpp
  ${PROJECT_SOURCE_DIR}/framework/core/help.cpp
)
target_link_libraries(fuzz_chm PRIVATE sandrel_fw_core ${SANDREL_MSPACK} sandrel_warnings)
target_compile_options(fuzz_chm PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_chm PRIVATE -fsanitize=fuzzer)
set_target_properties(fuzz_chm PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
