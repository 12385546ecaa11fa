# textnodes_discover_tests(TARGET): the GoogleTest cases of TARGET, registered twice: against the
# ordinary stand-in host, and against its unforgiving mode (tests/host_mode.h) with ".strict_host"
# after each name. The same cases must pass in both.
function(textnodes_discover_tests target)
  gtest_discover_tests(${target})
  gtest_discover_tests(${target} TEST_SUFFIX .strict_host
                       PROPERTIES ENVIRONMENT TEXTNODES_STRICT_HOST=1)
endfunction()
