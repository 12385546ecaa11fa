cmake_minimum_required(VERSION 3.25)
# cmake -DICEHOST=path -DPLUGIN=path -DINDEX=range:5 [-DEMULATOR=wine-run] -P CheckEvaluation.cmake
# Evaluates the plug-in with icehost at its defaults over 5 elements and the index set INDEX,
# against the ordinary stand-in host and against its unforgiving mode, which gives a plug-in no
# more than the host's contract promises. Fails unless both calls succeed without a fault and
# write the same.
foreach(mode IN ITEMS "" --strict-host)
  execute_process(COMMAND ${EMULATOR} ${ICEHOST} eval ${PLUGIN} --elements 5 --index ${INDEX}
                          --json ${mode}
                  RESULT_VARIABLE failed OUTPUT_VARIABLE report ERROR_VARIABLE errors)
  if(failed)
    message(FATAL_ERROR "icehost eval ${PLUGIN} --index ${INDEX} ${mode} failed (${failed}):\n"
                        "${report}${errors}")
  endif()
  list(APPEND reports "${report}")
endforeach()
list(GET reports 0 ordinary)
list(GET reports 1 strict)
if(NOT ordinary STREQUAL strict)
  message(FATAL_ERROR "the unforgiving host got another result:\n${ordinary}\n${strict}")
endif()
message(STATUS "${ordinary}")
