# fuzz/bitmap.cmake: the bitmap reader and the DIB conversion under libFuzzer. Their sources
# are compiled into the target so that the fuzzer sees their coverage.
add_executable(fuzz_bitmap
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_bitmap.cpp
  ${PROJECT_SOURCE_DIR}/bitmap/load_bitmap.cpp
  ${PROJECT_SOURCE_DIR}/framework/core/bitmap.cpp
  ${PROJECT_SOURCE_DIR}/framework/core/dib.cpp
)
target_link_libraries(fuzz_bitmap PRIVATE sandrel_fw_core sandrel_warnings)
target_compile_options(fuzz_bitmap PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_bitmap PRIVATE -fsanitize=fuzzer)
set_target_properties(fuzz_bitmap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
