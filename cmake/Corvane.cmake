# Shared compile settings and helpers for every Corvane target.

add_library(corvane_options INTERFACE)
target_compile_options(corvane_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Wunused -Woverloaded-virtual -Wimplicit-fallthrough
  # GCC 12 at -O3 reports std::string appends as overlapping copies and
  # std::vector comparisons as over-long reads (known false positives of
  # -Wrestrict and -Wstringop-overread); bounds are checked by the sanitizer
  # build instead.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict -Wno-stringop-overread>
  $<$<BOOL:${CORVANE_WERROR}>:-Werror>)
target_include_directories(corvane_options INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(corvane_options INTERFACE Threads::Threads)

if(CORVANE_SANITIZE)
  target_compile_options(corvane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()

if(CORVANE_FUZZ)
  # Coverage instrumentation for every library; the targets add the driver.
  target_compile_options(corvane_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# corvane_library(<name> <folder> [EXCLUDE <regex>] [DEPS ...] [PUBLIC_DEPS ...])
# One library per subsystem folder: every .cpp below <folder> is a source. A
# folder without sources yet becomes an interface library so that dependants
# can already name it. DEPS are what the sources use (linked privately: a
# dependant does not inherit them for its own code); PUBLIC_DEPS are the ones
# the library's own headers include. Every source include is also checked
# against the layering by the test layers_include_order.
function(corvane_library name folder)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS;PUBLIC_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC corvane_options ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE corvane_options ${ARG_PUBLIC_DEPS} ${ARG_DEPS})
  endif()
endfunction()

# corvane_test(<name> SOURCES ... DEPS ...)
# A GoogleTest program registered with CTest. Tests run with a private device
# folder and a fast clock so that back-offs and time-outs take milliseconds.
function(corvane_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE corvane_options ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "CORVANE_DEVICE=${CMAKE_BINARY_DIR}/test-device/${name};CORVANE_DISPLAY=headless"
               TIMEOUT 120)
endfunction()
