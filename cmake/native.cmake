# Native build: the program's platform-free code over the POSIX port, its
# tests against a fake window, the benchmarks and the quillbrand tool.
option(QB_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
option(QB_BENCH "Build the benchmarks" OFF)
option(QB_FUZZ "Build the fuzz targets (clang)" OFF)

add_compile_options(-Wall -Wextra)
if(QB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(quillbrand_program STATIC ${PROGRAM_SOURCES}
  platform/posix/file_io_posix.cpp
  platform/posix/process_posix.cpp)
target_include_directories(quillbrand_program PUBLIC ${CMAKE_SOURCE_DIR})

add_library(quillbrand_writer STATIC builder/payload_writer.cpp)
target_include_directories(quillbrand_writer PUBLIC ${CMAKE_SOURCE_DIR})

enable_testing()
find_package(GTest REQUIRED)
add_executable(unit_tests
  tests/fake_window.cpp
  tests/test_support.cpp
  tests/literal_search.cpp
  tests/payload_reader_test.cpp
  tests/runtime_error_test.cpp
  tests/checksum_test.cpp
  tests/pattern_search_test.cpp
  tests/patch_applier_test.cpp
  tests/target_info_test.cpp
  tests/start_action_test.cpp
  tests/fixed_texts_test.cpp
  tests/windows_test.cpp)
target_link_libraries(unit_tests PRIVATE quillbrand_program quillbrand_writer GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

if(QB_FUZZ)
  foreach(target payload_reader patch_applier)
    add_executable(fuzz_${target} tests/fuzz/fuzz_${target}.cpp tests/fake_window.cpp ${PROGRAM_SOURCES}
      platform/posix/file_io_posix.cpp platform/posix/process_posix.cpp builder/payload_writer.cpp)
    target_include_directories(fuzz_${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
endif()

if(QB_BENCH)
  find_package(ZLIB REQUIRED)
  add_executable(engine_bench bench/engine_bench.cpp builder/console_window.cpp)
  target_link_libraries(engine_bench PRIVATE quillbrand_program ZLIB::ZLIB)
endif()

# The quillbrand tool, on the runtime's own reader, engine and start action.
add_library(quillbrand_tool_core STATIC
  builder/codepage.cpp builder/package_file.cpp builder/package_report.cpp builder/package_diff.cpp
  builder/console_window.cpp)
find_package(Threads REQUIRED)
target_link_libraries(quillbrand_tool_core PUBLIC quillbrand_program quillbrand_writer Threads::Threads)
add_executable(quillbrand builder/quillbrand_main.cpp)
target_link_libraries(quillbrand PRIVATE quillbrand_tool_core)

# Tests of the tool, and of the Windows runtime under Wine (these need the
# Windows build: scripts/build passes its folder in QB_WIN32_BUILD).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME quillbrand_tool COMMAND ${Python3_EXECUTABLE} -m unittest -v test_quillbrand
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tool)
set_tests_properties(quillbrand_tool PROPERTIES ENVIRONMENT "QUILLBRAND=$<TARGET_FILE:quillbrand>" TIMEOUT 600)
set(QB_WIN32_BUILD "" CACHE PATH "The Windows build folder, for the tests under Wine")
if(QB_WIN32_BUILD)
  foreach(suite test_runtime_image test_patch_program)
    add_test(NAME ${suite} COMMAND ${Python3_EXECUTABLE} -m unittest -v ${suite}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
    # One Wine prefix and one display server at a time.
    set_tests_properties(${suite} PROPERTIES RESOURCE_LOCK wine TIMEOUT 1800)
  endforeach()
endif()
