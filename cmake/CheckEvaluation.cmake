cmake_minimum_required(VERSION 3.25)
# cmake -DICEHOST=path -DPLUGIN=path -DINDEX=range:5 [-DEMULATOR=wine-run] -P CheckEvaluation.cmake
# Evaluates each output of the plug-in (as its registration lists them) with icehost at its
# defaults over 5 elements and the index set INDEX, against the ordinary stand-in host and
# against its unforgiving mode, which gives a plug-in no more than the host's contract promises.
# Fails unless every call succeeds without a fault and both hosts write the same.
execute_process(COMMAND ${EMULATOR} ${ICEHOST} info ${PLUGIN} --json
                RESULT_VARIABLE failed OUTPUT_VARIABLE info ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "icehost info ${PLUGIN} failed (${failed}):\n${info}${errors}")
endif()
string(JSON ports GET "${info}" nodes 0 ports)
string(JSON last LENGTH "${ports}")
math(EXPR last "${last} - 1")
set(outputs "")
foreach(i RANGE ${last})
  string(JSON direction GET "${ports}" ${i} direction)
  if(direction STREQUAL "out")
    string(JSON id GET "${ports}" ${i} id)
    list(APPEND outputs ${id})
  endif()
endforeach()
if(NOT outputs)
  message(FATAL_ERROR "${PLUGIN} registers no output")
endif()

foreach(port IN LISTS outputs)
  foreach(mode IN ITEMS ordinary strict)
    set(flag "")
    if(mode STREQUAL "strict")
      set(flag --strict-host)
    endif()
    execute_process(COMMAND ${EMULATOR} ${ICEHOST} eval ${PLUGIN} --elements 5 --index ${INDEX}
                            --port ${port} --json ${flag}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE ${mode} ERROR_VARIABLE errors)
    if(failed)
      message(FATAL_ERROR "icehost eval ${PLUGIN} --index ${INDEX} --port ${port} ${flag} failed "
                          "(${failed}):\n${${mode}}${errors}")
    endif()
  endforeach()
  if(NOT ordinary STREQUAL strict)
    message(FATAL_ERROR "the unforgiving host got another result:\n${ordinary}\n${strict}")
  endif()
  message(STATUS "${ordinary}")
endforeach()
