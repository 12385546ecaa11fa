# cmake -DFUZZER=path -DSEEDS=dir -DWORK=dir -DSECONDS=n [-DTIMEOUT=n] [-DDICT=file]
#       -P RunFuzzer.cmake
# Runs a fuzz target for SECONDS on a fresh copy of its seed corpus in WORK/corpus (with the
# dictionary DICT, if given), keeping any crashing input in WORK; fails if the target finds one,
# or an input that runs longer than TIMEOUT seconds, if given.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
set(options "")
if(DICT)
  list(APPEND options -dict=${DICT})
endif()
if(TIMEOUT)
  list(APPEND options -timeout=${TIMEOUT})
endif()
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -print_final_stats=1 ${options}
                        -artifact_prefix=${WORK}/ ${WORK}/corpus
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${FUZZER} failed (${failed}); the input is kept in ${WORK}")
endif()
