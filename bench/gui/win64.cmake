# bench/gui/win64.cmake: the floors Sandrel.exe's start is measured against under Wine (with
# bench/win-gui-bench.sh): the system's property sheet over the program's own four dialogs, and
# an empty dialog. Windows programs, built by the win64 preset into build/win64/bench.
set(bench_gui ${CMAKE_CURRENT_LIST_DIR})
add_executable(bench_system_sheet WIN32 ${bench_gui}/system_sheet.cpp ${PROJECT_SOURCE_DIR}/res/Sandrel.rc)
target_include_directories(bench_system_sheet PRIVATE ${PROJECT_SOURCE_DIR}/res)
target_compile_definitions(bench_system_sheet PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(bench_system_sheet PRIVATE comctl32 gdi32 user32 sandrel_version sandrel_warnings)
add_executable(bench_empty_dialog WIN32 ${bench_gui}/empty_dialog.cpp ${bench_gui}/empty_dialog.rc)
target_link_libraries(bench_empty_dialog PRIVATE user32 sandrel_warnings)
set_target_properties(bench_system_sheet bench_empty_dialog PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SANDREL_WIN64_OUTPUT_DIR}/bench)
