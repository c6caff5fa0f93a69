# The shipped program: a PE32 GUI exe that imports only Windows' own DLLs.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(GENERATED ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${GENERATED})
add_custom_command(
  OUTPUT ${GENERATED}/dialog100.bin ${GENERATED}/dialog101.bin
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_dialog_templates.py ${GENERATED}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_dialog_templates.py ${CMAKE_SOURCE_DIR}/ui/dialog_layout.py
  COMMENT "Dialog templates")
add_custom_target(dialog_templates DEPENDS ${GENERATED}/dialog100.bin ${GENERATED}/dialog101.bin)

set(RUNTIME_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -Wall -Wextra)
add_executable(quillbrand-runtime WIN32
  ${PROGRAM_SOURCES}
  app/main_win32.cpp
  platform/win32/file_io_win32.cpp
  platform/win32/process_win32.cpp
  platform/win32/window_win32.cpp
  ui/quillbrand.rc)
add_dependencies(quillbrand-runtime dialog_templates)
target_include_directories(quillbrand-runtime PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(quillbrand-runtime PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${RUNTIME_FLAGS}>)
target_compile_definitions(quillbrand-runtime PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501)
# The engine's inner loops are built for speed, the rest for size.
set_source_files_properties(engine/crc32.cpp engine/pattern_search.cpp engine/patch_applier.cpp
  PROPERTIES COMPILE_OPTIONS "-O2")
set_source_files_properties(ui/quillbrand.rc PROPERTIES
  OBJECT_DEPENDS "${GENERATED}/dialog100.bin;${GENERATED}/dialog101.bin;${CMAKE_SOURCE_DIR}/ui/quillbrand.ico;${CMAKE_SOURCE_DIR}/ui/quillbrand.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${GENERATED} -I${CMAKE_SOURCE_DIR}/ui")
# Static C and C++ run-times: the exe needs no DLL beyond Windows' own.
target_link_options(quillbrand-runtime PRIVATE -static -static-libgcc -static-libstdc++ -s
  -Wl,--gc-sections -mwindows)
target_link_libraries(quillbrand-runtime PRIVATE comctl32 comdlg32 shell32)

# The end-to-end test driver: finds the patch program's windows and works them.
add_executable(e2e-driver tests/e2e/driver.cpp)
target_compile_options(e2e-driver PRIVATE -O1 -Wall)
target_link_options(e2e-driver PRIVATE -static -static-libgcc -static-libstdc++ -s -mconsole)
target_link_libraries(e2e-driver PRIVATE comctl32 user32)

# A tiny probe that loads string 999 of a given exe.
add_executable(string-probe tests/e2e/string_probe.cpp)
target_link_options(string-probe PRIVATE -static -static-libgcc -static-libstdc++ -s -mconsole)

# The engine benchmark as the runtime is built (same flags), for Wine.
add_executable(engine-bench bench/engine_bench.cpp builder/console_window.cpp
  package/byte_string.cpp package/package_model.cpp engine/crc32.cpp engine/file_checksum.cpp
  engine/pattern_search.cpp engine/patch_applier.cpp ui/progress_bar.cpp platform/runtime_error_text.cpp
  platform/win32/file_io_win32.cpp platform/win32/process_win32.cpp)
target_include_directories(engine-bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(engine-bench PRIVATE ${RUNTIME_FLAGS})
target_link_options(engine-bench PRIVATE -static -static-libgcc -static-libstdc++ -s -mconsole)
target_link_libraries(engine-bench PRIVATE z)
