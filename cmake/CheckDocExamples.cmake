cmake_minimum_required(VERSION 3.25)
# cmake -DBUILD=dir -DWORK=dir "-DPAGES=README.md;docs/icehost.md" -P CheckDocExamples.cmake
# Runs every command example of the pages as a reader runs it, and compares what it prints with
# the page. An example is a ```sh block followed directly by a ```text block: the commands run
# with sh, in order, from the folder WORK, in which build/default is the build tree BUILD; what
# they print (standard output and standard error as produced) must be the text block exactly,
# and they must end with exit code 0 (an example that fails shows its code: `; echo "exit $?"`).
# A ```sh block that runs build/default/bin/icehost and shows no output, or an indented one,
# fails the check.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/build)
file(CREATE_LINK ${BUILD} ${WORK}/build/default SYMBOLIC)
unset(ENV{ICEHOST_PLUGIN_PATH})

set(failures 0)
foreach(page IN LISTS PAGES)
  file(READ ${page} rest)
  set(rest "\n${rest}")
  if(rest MATCHES "\n[ \t]+```sh")
    message(NOTICE "${page}: an indented ```sh block, which this check would not run")
    math(EXPR failures "${failures} + 1")
  endif()
  set(examples 0)
  while(rest MATCHES "\n```sh\n")
    string(FIND "${rest}" "\n```sh\n" start)
    math(EXPR start "${start} + 7")
    string(SUBSTRING "${rest}" ${start} -1 rest)
    string(FIND "${rest}" "```\n" end)
    string(SUBSTRING "${rest}" 0 ${end} commands)
    string(SUBSTRING "${rest}" ${end} -1 rest)
    set(place "${page}, the example\n${commands}")
    if(NOT rest MATCHES "^```\n\n?```text\n")
      if(commands MATCHES "build/default/bin/icehost")
        message(NOTICE "${place}runs icehost but shows no ```text block of its output")
        math(EXPR failures "${failures} + 1")
      endif()
      continue()
    endif()
    string(LENGTH "${CMAKE_MATCH_0}" skip)
    string(SUBSTRING "${rest}" ${skip} -1 rest)
    string(FIND "${rest}" "```\n" end)
    string(SUBSTRING "${rest}" 0 ${end} expected)
    math(EXPR examples "${examples} + 1")

    file(WRITE ${WORK}/example.sh "${commands}")
    execute_process(COMMAND sh example.sh WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code
                    OUTPUT_VARIABLE printed ERROR_VARIABLE printed)
    if(NOT code STREQUAL "0" OR NOT printed STREQUAL expected)
      message(NOTICE "${place}ended with exit code ${code}; the page shows:\n${expected}"
                     "it printed:\n${printed}")
      math(EXPR failures "${failures} + 1")
    endif()
  endwhile()
  if(examples EQUAL 0)
    message(NOTICE "${page}: no command example found")
    math(EXPR failures "${failures} + 1")
  endif()
  message(STATUS "${page}: ${examples} examples")
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} problem(s) with the examples of the pages")
endif()
