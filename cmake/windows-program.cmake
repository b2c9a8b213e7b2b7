# The Windows program: the window shell (every *_win32.cpp of app/, dialogs/ and win32/ but the
# process entry, kept as a library so that an in-process test can link it) and velmora.exe.

set(shell_sources)
foreach(dir IN ITEMS app dialogs win32)
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_win32.cpp)
  list(APPEND shell_sources ${dir_sources})
endforeach()
list(FILTER shell_sources EXCLUDE REGEX "/app/winmain_win32\\.cpp$")

add_library(velmora_shell STATIC ${shell_sources})
target_link_libraries(velmora_shell PUBLIC velmora_core comctl32 comdlg32 shlwapi gdi32 user32)
target_include_directories(velmora_shell PUBLIC ${CMAKE_SOURCE_DIR})

# The manifest carries the project version; windres finds it in the build folder.
set(velmora_manifest_dir ${CMAKE_BINARY_DIR}/manifest)
configure_file(${CMAKE_SOURCE_DIR}/resources/velmora.manifest.in
               ${velmora_manifest_dir}/velmora.manifest @ONLY)
add_executable(velmora WIN32 app/winmain_win32.cpp resources/velmora.rc)
target_include_directories(velmora PRIVATE ${velmora_manifest_dir})
target_link_libraries(velmora PRIVATE velmora_shell)
target_link_options(velmora PRIVATE -mwindows)
velmora_add_version_info(velmora velmora.exe "Velmora バイナリデータ表エディタ")
set_target_properties(velmora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
# windres sees the ids and the files the script names.
set_source_files_properties(resources/velmora.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/resource.h;${velmora_manifest_dir}/velmora.manifest;${CMAKE_SOURCE_DIR}/resources/velmora.ico;${CMAKE_SOURCE_DIR}/resources/velmora-small.ico")

# Times velmora.exe from outside, under Wine: build-*/wine-run.sh bench/velmora_win_bench.exe app/velmora.exe
if(VELMORA_BENCHMARKS)
  add_executable(velmora_win_bench bench/win_bench_win32.cpp)
  set_target_properties(velmora_win_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
