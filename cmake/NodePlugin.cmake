# add_node_plugin(NAME SOURCES source... [TESTS test-source...] [LIBRARIES library...]
#                 [CASES case-file...] [EVAL_TESTS] [NO_INSTALL])
#
# One node plug-in: a loadable library named after its node (libNAME.so, NAME.dll) in the plug-in
# folder, exporting XSILoadPlugin, XSIUnloadPlugin and NAME_Evaluate and nothing else, built from
# SOURCES with the frame and the SDK (and LIBRARIES), with the project's warnings (as errors
# when TEXTNODES_WERROR is on).
#  * TESTS: NAME_test, the tests of the node's computation, linked with the same compiled
#    sources; each test named NAME.<suite>.<case>. Built with GoogleTest, which a cross build
#    for Windows builds from Debian's sources; a warning says so when it cannot be had.
#  * CASES: NAME.cases, the node's behaviour through the host: `icehost check` evaluates every
#    case of the case files (relative to the current source folder) over each form of index set
#    in the ordinary and the unforgiving stand-in host, and checks what it writes
#    (docs/new-node.md gives the format). Under the build's emulator (wine) when cross-built.
#  * EVAL_TESTS: the plug-in evaluated through icehost at its defaults over every form of index
#    set, against the ordinary and the unforgiving stand-in host, which must agree
#    (NAME.eval.*), and its exports checked (NAME.exports).
#  * NO_INSTALL: neither installed nor counted among the project's plug-ins (TEXTNODES_PLUGINS).
# The plug-in folder is TEXTNODES_PLUGIN_DIR, by default BINARY_DIR/plugins.
set(_textnodes_cmake_dir ${CMAKE_CURRENT_LIST_DIR})
function(add_node_plugin name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "EVAL_TESTS;NO_INSTALL" "" "SOURCES;TESTS;LIBRARIES;CASES")
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "add_node_plugin(${name}): no SOURCES")
  endif()
  if(NOT DEFINED TEXTNODES_PLUGIN_DIR)
    set(TEXTNODES_PLUGIN_DIR ${CMAKE_BINARY_DIR}/plugins)
  endif()

  # The node's code, compiled once for the plug-in and for its tests.
  add_library(${name}_node OBJECT ${ARG_SOURCES})
  target_include_directories(${name}_node PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name}_node PUBLIC textnodes::frame textnodes::sdk ${ARG_LIBRARIES})
  set_target_properties(${name}_node PROPERTIES POSITION_INDEPENDENT_CODE ON
                                                CXX_VISIBILITY_PRESET hidden
                                                VISIBILITY_INLINES_HIDDEN ON)
  textnodes_warnings(${name}_node)

  add_library(${name} MODULE)
  target_link_libraries(${name} PRIVATE ${name}_node)
  set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${TEXTNODES_PLUGIN_DIR}
                                           RUNTIME_OUTPUT_DIRECTORY ${TEXTNODES_PLUGIN_DIR})
  if(WIN32)
    set_target_properties(${name} PROPERTIES PREFIX "")
  else()
    # Template code from the standard library has default visibility whatever the flags say;
    # the version script keeps it, and everything but the three entry points, local.
    set(map ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
    file(WRITE ${map} "{\n  global: XSILoadPlugin; XSIUnloadPlugin; ${name}_Evaluate;\n  local: *;\n};\n")
    target_link_options(${name} PRIVATE -Wl,--version-script=${map})
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${map})
  endif()
  if(NOT ARG_NO_INSTALL)
    set_property(GLOBAL APPEND PROPERTY TEXTNODES_PLUGINS ${name})
    install(TARGETS ${name} LIBRARY DESTINATION plugins RUNTIME DESTINATION plugins)
  endif()

  if(ARG_TESTS)
    include(GoogleTest)
    textnodes_googletest()
    if(TARGET GTest::gtest_main)
      add_executable(${name}_test ${ARG_TESTS})
      target_link_libraries(${name}_test PRIVATE ${name}_node GTest::gtest_main)
      textnodes_warnings(${name}_test)
      gtest_discover_tests(${name}_test TEST_PREFIX ${name}.)
    endif()
  endif()
  set(icehost $<TARGET_FILE:textnodes::icehost>)
  if(TARGET icehost)
    set(icehost $<TARGET_FILE:icehost>)
  endif()
  if(ARG_CASES)
    set(case_files)
    foreach(file IN LISTS ARG_CASES)
      cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
      list(APPEND case_files ${file})
    endforeach()
    add_test(NAME ${name}.cases COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${icehost} check
                                        $<TARGET_FILE:${name}> ${case_files})
  endif()
  if(ARG_EVAL_TESTS)
    foreach(index IN ITEMS range:5 list:4,-,0,2 bits:1011)
      string(REGEX REPLACE ":.*" "" form ${index})
      add_test(NAME ${name}.eval.${form}
               COMMAND ${CMAKE_COMMAND} -DICEHOST=${icehost} -DPLUGIN=$<TARGET_FILE:${name}>
                       -DINDEX=${index} "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                       -P ${_textnodes_cmake_dir}/CheckEvaluation.cmake)
    endforeach()
    find_program(TEXTNODES_OBJDUMP NAMES ${CMAKE_OBJDUMP} objdump)
    add_test(NAME ${name}.exports
             COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:${name}> -DNODE=${name}
                     -DNM=${CMAKE_NM} -DOBJDUMP=${TEXTNODES_OBJDUMP}
                     -P ${_textnodes_cmake_dir}/CheckExports.cmake)
  endif()
endfunction()
