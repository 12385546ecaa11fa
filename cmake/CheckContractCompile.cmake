cmake_minimum_required(VERSION 3.25)
# cmake -DCOMPILER=c++ -DROOT=source-dir -DROOMS="frame;number_text;..." -DFOLDERS="frame;kestrune;..."
#       [-DOUTSIDE_INCLUDES="nodes/textformat=dir;..."] -P CheckContractCompile.cmake
# Compiles every plug-in source under FOLDERS (syntax only, warnings as errors) against the
# contract-only SDK of tests/contract_sdk, whose binding file stands in for the frame's own, and
# the include/ folders of the plug-ins' ROOMS.
# Fails on the first source that uses anything of the SDK the host contract does not give,
# outside the binding file. An outside header library's folder is seen by the one folder that
# OUTSIDE_INCLUDES pairs it with.
set(includes -I${ROOT}/tests/contract_sdk)
foreach(room IN LISTS ROOMS)
  list(APPEND includes -I${ROOT}/${room}/include)
endforeach()
set(checked 0)
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE sources ${ROOT}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  set(outside "")
  foreach(pair IN LISTS OUTSIDE_INCLUDES)
    if(pair MATCHES "^${folder}=(.+)$")
      list(APPEND outside -I${CMAKE_MATCH_1})
    endif()
  endforeach()
  foreach(source IN LISTS sources)
    execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror
                            ${includes} ${outside} -I${ROOT}/${folder} ${source}
                    RESULT_VARIABLE failed ERROR_VARIABLE errors OUTPUT_VARIABLE errors)
    if(failed)
      file(RELATIVE_PATH shown ${ROOT} ${source})
      message(FATAL_ERROR "${shown} does not build against the contract alone:\n${errors}")
    endif()
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()
message(STATUS "${checked} plug-in sources build against the contract-only SDK")
