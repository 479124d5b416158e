# bench/settings.cmake: reading and writing terrain.ini.
find_package(benchmark REQUIRED)
add_executable(bench_settings ${CMAKE_CURRENT_LIST_DIR}/bench_settings.cpp)
target_link_libraries(bench_settings PRIVATE sandrel_settings benchmark::benchmark sandrel_warnings)
