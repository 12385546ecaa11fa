# add_node_plugin(NAME SOURCES...): one node plug-in, a loadable library named after its node
# (libNAME.so, NAME.dll) in the plug-in folder, exporting XSILoadPlugin, XSIUnloadPlugin and
# NAME_Evaluate and nothing else.
function(add_node_plugin name)
  add_library(${name} MODULE ${ARGN})
  target_link_libraries(${name} PRIVATE textnodes::frame textnodes::sdk)
  textnodes_warnings(${name})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${TEXTNODES_PLUGIN_DIR}
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
endfunction()
