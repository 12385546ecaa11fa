cmake_minimum_required(VERSION 3.25)
# cmake -DLIBRARY=path -DNODE=name [-DNM=nm] [-DOBJDUMP=objdump] -P CheckExports.cmake
# Fails unless the library exports exactly XSILoadPlugin, XSIUnloadPlugin and NODE_Evaluate.
include(${CMAKE_CURRENT_LIST_DIR}/BinarySymbols.cmake)
exported_symbols(${LIBRARY} exports)
list(SORT exports)
set(expected XSILoadPlugin XSIUnloadPlugin ${NODE}_Evaluate)
list(SORT expected)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports [${exports}], expected [${expected}]")
endif()
message(STATUS "${NODE}: exports ${exports}")
