# Shared compile settings and helpers for the per-folder libraries and tests.

add_library(tessarapane_options INTERFACE)
target_compile_options(tessarapane_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
# GCC 12 reports false -Wrestrict positives inside libstdc++'s string code
# (GCC bug 105329) and false -Wmaybe-uninitialized positives on std::optional
# at -O2 and above; keep the warnings but do not fail the build on them.
target_compile_options(tessarapane_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU>:-Wno-error=restrict -Wno-error=maybe-uninitialized>)
target_include_directories(tessarapane_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
# A fuzz build instruments every library, so the fuzzers see coverage of the
# code they reach and not only of their own entry points. The sanitizers'
# runtime then also serves the coverage hooks of executables that are not
# fuzzers (tests, the program).
if(TESSARAPANE_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(TESSARAPANE_SANITIZE ON)
  target_compile_options(tessarapane_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(TESSARAPANE_SANITIZE)
  # The library's own index and access checks catch what the address
  # sanitizer cannot see: an index past a vector's size but within its
  # capacity, an empty optional read.
  target_compile_options(tessarapane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS)
  target_link_options(tessarapane_options INTERFACE -fsanitize=address,undefined)
endif()

# tessarapane_module(<folder> [NAME <name>] [DEPS <targets>...])
# One library per source folder (src/<folder>, its subfolders included), named tessarapane_<folder>
# (or tessarapane_<name>). A folder with only headers becomes an INTERFACE library.
function(tessarapane_module folder)
  cmake_parse_arguments(ARG "" "NAME" "DEPS" ${ARGN})
  if(ARG_NAME)
    set(target tessarapane_${ARG_NAME})
  else()
    set(target tessarapane_${folder})
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_link_libraries(${target} PUBLIC tessarapane_options ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE tessarapane_options ${ARG_DEPS})
  endif()
endfunction()

# tessarapane_test_folder(<folder> LABEL <label> DEPS <targets>...)
# Every tests/<folder>/*.cpp goes into one GoogleTest executable test_<name>.
function(tessarapane_test_folder folder)
  cmake_parse_arguments(ARG "" "LABEL" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" name ${folder})
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(test_${name} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()
