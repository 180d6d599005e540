# Host build: the portable logic and its unit tests, optionally under sanitizers.
option(ZV_SANITIZE "Build the unit tests with AddressSanitizer and UBSan" OFF)
if(ZV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(zembrovale_logic STATIC ${PORTABLE_SOURCES})
target_include_directories(zembrovale_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(zembrovale_logic PRIVATE ${WARNINGS})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/unit ${CMAKE_BINARY_DIR}/tests/unit)

# libFuzzer target over the logic that fills fixed fields (clang only).
option(ZV_FUZZ "Build the fuzz target (needs clang)" OFF)
if(ZV_FUZZ)
  file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/fake_*.cpp)
  add_executable(fuzz_logic ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_logic.cpp ${FAKE_SOURCES})
  target_compile_options(fuzz_logic PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_logic PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_logic PRIVATE zembrovale_logic)
  target_compile_options(zembrovale_logic PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endif()

# Benchmarks (make bench); their targets stay out of the normal build.
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench)
endif()
