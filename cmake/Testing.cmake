# Testing helpers shared by this project and by the nodes built with the kit.

# textnodes_googletest(): makes GTest::gtest_main available, or says why the tests will not be
# built. A native build takes the system's package. A cross build has none for its target, so
# it builds GoogleTest from Debian's sources (googletest), and lists each test program's cases
# when the tests run rather than at build time, under the emulator.
function(textnodes_googletest)
  if(TARGET GTest::gtest_main)
    return()
  endif()
  if(CMAKE_CROSSCOMPILING)
    if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
      message(WARNING "no GoogleTest sources in /usr/src/googletest (Debian's googletest): the "
                      "tests are not built")
      return()
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST PARENT_SCOPE)
  else()
    find_package(GTest QUIET)
    if(NOT TARGET GTest::gtest_main)
      message(WARNING "GoogleTest not found (Debian's libgtest-dev): the tests are not built")
    endif()
  endif()
endfunction()

# textnodes_discover_tests(TARGET [PREFIX prefix]): the GoogleTest cases of TARGET, registered
# twice: against the ordinary stand-in host, and against its unforgiving mode
# (TEXTNODES_STRICT_HOST=1) with ".strict_host" after each name. The same cases must pass in
# both.
function(textnodes_discover_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PREFIX" "")
  gtest_discover_tests(${target} TEST_PREFIX "${ARG_PREFIX}")
  gtest_discover_tests(${target} TEST_PREFIX "${ARG_PREFIX}" TEST_SUFFIX .strict_host
                       PROPERTIES ENVIRONMENT TEXTNODES_STRICT_HOST=1)
endfunction()

# textnodes_wine([DLL_DIRS dir...]): when the build makes Windows programs to run under wine
# (TEXTNODES_WINE, set by the mingw-w64 toolchain file), makes BINARY_DIR/wine-run, which runs
# one in a wine prefix of this build tree's own, made now so that no test pays for it within
# its time limit, finding DLLs in DLL_DIRS besides its own folder; and makes it the emulator
# that runs the tests.
function(textnodes_wine)
  if(NOT TEXTNODES_WINE)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "" "DLL_DIRS")
  set(TEXTNODES_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  # Wine's path for DLLs: the folders as drive Z: (the root) names them, ';' between.
  set(TEXTNODES_WINEPATH "")
  foreach(dir IN LISTS ARG_DLL_DIRS)
    string(REPLACE "/" "\\\\" windows_dir "${dir}")
    list(APPEND TEXTNODES_WINEPATH "Z:${windows_dir}")
  endforeach()
  configure_file(${_textnodes_cmake_dir}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run PARENT_SCOPE)
  execute_process(COMMAND ${CMAKE_BINARY_DIR}/wine-run cmd /c exit OUTPUT_QUIET ERROR_QUIET)
endfunction()
set(_textnodes_cmake_dir ${CMAKE_CURRENT_LIST_DIR})
