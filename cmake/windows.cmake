# The product: size-optimised, no exceptions or RTTI, static runtime, stripped.
enable_language(RC)
# The executables must stay within 64 KB. No -fdata-sections: with it MinGW puts zero-filled
# arrays into .data and the file grows. No -ffunction-sections either: the linker finds
# little to drop, and on 64-bit every function's own section is padded to 16 bytes. The source
# folder's path is left out of the bytes, whichever folder builds them.
set(PRODUCT_FLAGS -Oz -fno-exceptions -fno-rtti -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
# Nothing is unwound without exceptions, so the unwind tables are only weight: on 64-bit they
# would be a tenth of the file. Without them a fault in the program ends it at once, which is
# what a fault should do; Windows walks the stack of a running program for nothing else.
list(APPEND PRODUCT_FLAGS -fno-asynchronous-unwind-tables)
# The program imports no data from a DLL, so 64-bit code may reach its own data directly,
# without a pointer kept for each variable.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND PRODUCT_FLAGS -mcmodel=small)
else()
  # Measured on 32-bit, where both are smaller: a function inlined into its one caller makes
  # the caller keep more on the stack, and a jump table holds an address to relocate per case.
  list(APPEND PRODUCT_FLAGS -fno-inline-functions-called-once -fno-jump-tables)
endif()
set(PRODUCT_LIBS comctl32 uxtheme shell32 gdi32 user32 advapi32 kernel32)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MANIFEST_ARCH amd64)
else()
  set(MANIFEST_ARCH X86)
endif()
# The manifest without its comment and indentation, which only a reader of the source needs.
file(READ ${CMAKE_SOURCE_DIR}/resources/zembrovale.manifest.in MANIFEST_TEXT)
string(REGEX REPLACE "<!--[^>]*-->" "" MANIFEST_TEXT "${MANIFEST_TEXT}")
string(REGEX REPLACE "[\n ]+" " " MANIFEST_TEXT "${MANIFEST_TEXT}")
string(REPLACE "> <" "><" MANIFEST_TEXT "${MANIFEST_TEXT}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/zembrovale.manifest CONTENT "${MANIFEST_TEXT}"
     @ONLY)
# The texts Event Viewer shows for the program's reports, as 8-bit text: half the size.
string(REGEX REPLACE "windres$" "windmc" WINDMC ${CMAKE_RC_COMPILER})
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/generated/messages.rc ${CMAKE_BINARY_DIR}/generated/messages.bin
  COMMAND ${WINDMC} -A -h ${CMAKE_BINARY_DIR}/generated -r ${CMAKE_BINARY_DIR}/generated
          ${CMAKE_SOURCE_DIR}/resources/messages.mc
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/messages.mc)
# Make cannot see the files the resource script embeds, so name them.
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/zembrovale.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/zembrovale.ico;${CMAKE_BINARY_DIR}/generated/zembrovale.manifest;${CMAKE_BINARY_DIR}/generated/messages.rc")

# Everything but the entry point, so the Wine tests can link the real Win32 layer.
add_library(zembrovale_core STATIC ${ALL_SOURCES})
target_include_directories(zembrovale_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(zembrovale_core PRIVATE ${WARNINGS} ${PRODUCT_FLAGS})
target_link_libraries(zembrovale_core PUBLIC ${PRODUCT_LIBS})

add_executable(zembrovale WIN32 ${ENTRY_SOURCE} ${CMAKE_SOURCE_DIR}/resources/zembrovale.rc)
target_compile_options(zembrovale PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:${WARNINGS} ${PRODUCT_FLAGS}>)
target_include_directories(zembrovale PRIVATE
  ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/generated)
# No link time in the header, so two builds of the same sources are the same bytes. The map
# beside the program is what a release check reads its start-up code from.
target_link_options(zembrovale PRIVATE -s -static -Wl,--gc-sections -Wl,--no-insert-timestamp
  -Wl,-Map=${CMAKE_BINARY_DIR}/zembrovale.map)
# The entry point is the program's own (app/entry_win.cpp), not the C runtime's start-up code.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(zembrovale PRIVATE -nostartfiles -Wl,-e,_zembrovaleStart)
else()
  target_link_options(zembrovale PRIVATE -nostartfiles -Wl,-e,zembrovaleStart)
endif()
target_link_libraries(zembrovale PRIVATE zembrovale_core)
set_target_properties(zembrovale PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# GoogleTest from Debian's source package (there is no network).
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_BINARY_DIR}/tests/wine)
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/release ${CMAKE_BINARY_DIR}/tests/release)

# Benchmarks (make bench); their targets stay out of the normal build.
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench)
endif()
