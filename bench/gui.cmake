# bench/gui.cmake: the launcher's start-to-window time and peak memory against the barest wx
# program that shows an empty dialog (run it with bench/gui-bench.sh, which brings the display),
# and the timer of the Windows program's start under Wine (bench/win-gui-bench.sh; the Windows
# programs it times come from the win64 preset, bench/gui/win64.cmake).
if(TARGET sandrel_fw_wx)
  find_package(benchmark REQUIRED)
  find_package(X11 REQUIRED)
  add_executable(bench_bare_dialog ${CMAKE_CURRENT_LIST_DIR}/gui/bare_dialog.cpp)
  target_link_libraries(bench_bare_dialog PRIVATE sandrel_wx_backend sandrel_warnings)
  add_executable(bench_gui_start ${CMAKE_CURRENT_LIST_DIR}/gui/start_bench.cpp)
  target_link_libraries(bench_gui_start PRIVATE benchmark::benchmark X11::X11 sandrel_warnings)
endif()
find_package(X11)
if(X11_Xdamage_FOUND)
  find_package(benchmark REQUIRED)
  add_executable(bench_wine_start ${CMAKE_CURRENT_LIST_DIR}/gui/wine_start_bench.cpp)
  target_link_libraries(bench_wine_start PRIVATE benchmark::benchmark X11::X11 X11::Xdamage sandrel_warnings)
endif()
