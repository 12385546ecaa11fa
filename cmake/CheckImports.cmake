cmake_minimum_required(VERSION 3.25)
# cmake -DFILE=path -DOBJDUMP=objdump -P CheckImports.cmake
# Fails unless the Windows program or DLL imports only system DLLs and the SDK's DLL: the C and
# C++ runtimes must be linked in, so that a user copies our DLLs and nothing else.
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not read the import table of ${FILE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" rows "${table}")
set(allowed kernel32.dll msvcrt.dll user32.dll advapi32.dll shell32.dll ntdll.dll bcrypt.dll
            ws2_32.dll xsisdk.dll)
set(imports "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^DLL Name: " "" name "${row}")
  string(STRIP "${name}" name)
  list(APPEND imports ${name})
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST allowed)
    message(FATAL_ERROR "${FILE} imports ${name}, which is neither a system DLL nor the SDK's")
  endif()
endforeach()
message(STATUS "${FILE}: imports ${imports}")
