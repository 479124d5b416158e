# bench/bitmap.cmake: what a preview costs against decoding a whole bitmap file.
find_package(benchmark REQUIRED)
add_executable(bench_bitmap ${CMAKE_CURRENT_LIST_DIR}/bench_bitmap.cpp)
target_link_libraries(bench_bitmap PRIVATE sandrel_bitmap benchmark::benchmark sandrel_warnings)
