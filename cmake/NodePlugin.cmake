# add_node_plugin(NAME SOURCES source... [TESTS test-source...] [LIBRARIES library...])
#
# One node plug-in: a loadable library named after its node (libNAME.so, NAME.dll) in the plug-in
# folder, exporting XSILoadPlugin, XSIUnloadPlugin and NAME_Evaluate and nothing else, built from
# SOURCES with the frame and the SDK (and LIBRARIES). With TESTS, and GoogleTest at hand, also
# NAME_test: the tests of the node's computation, linked with the same compiled sources.
function(add_node_plugin name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;TESTS;LIBRARIES")
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
  if(COMMAND textnodes_warnings)
    textnodes_warnings(${name}_node)
  endif()

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
  set_property(GLOBAL APPEND PROPERTY TEXTNODES_PLUGINS ${name})
  install(TARGETS ${name} LIBRARY DESTINATION plugins RUNTIME DESTINATION plugins)

  if(ARG_TESTS AND TARGET GTest::gtest_main)
    include(GoogleTest)
    add_executable(${name}_test ${ARG_TESTS})
    target_link_libraries(${name}_test PRIVATE ${name}_node GTest::gtest_main)
    if(COMMAND textnodes_warnings)
      textnodes_warnings(${name}_test)
    endif()
    gtest_discover_tests(${name}_test)
  endif()
endfunction()
