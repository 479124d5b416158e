# fuzz/settings.cmake: the terrain.ini reader under libFuzzer.
add_executable(fuzz_settings_reader ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings_reader.cpp)
target_link_libraries(fuzz_settings_reader PRIVATE sandrel_settings sandrel_warnings)
target_compile_options(fuzz_settings_reader PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_settings_reader PRIVATE -fsanitize=fuzzer)
set_target_properties(fuzz_settings_reader PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
