# fuzz/res.cmake: the resource-script reader behind rc2cpp under libFuzzer. The reader is
# compiled into the target so that libFuzzer sees its branches.
add_executable(fuzz_rcparse ${CMAKE_CURRENT_LIST_DIR}/fuzz_rcparse.cpp ${PROJECT_SOURCE_DIR}/tools/rc_lexer.cpp
  ${PROJECT_SOURCE_DIR}/tools/rc_preprocessor.cpp ${PROJECT_SOURCE_DIR}/tools/rcparse.cpp)
target_include_directories(fuzz_rcparse PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(fuzz_rcparse PRIVATE sandrel_warnings)
target_compile_options(fuzz_rcparse PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_rcparse PRIVATE -fsanitize=fuzzer)
set_target_properties(fuzz_rcparse PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
