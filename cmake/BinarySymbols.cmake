# Reading a built library's symbols, for the checks run as cmake -P scripts. NM and OBJDUMP name
# the tools for the library's platform, CXXFILT the demangler.

# The part of a DLL's objdump -p listing that begins with heading, up to the next blank line;
# empty when there is no such heading.
function(dll_table_section library heading out)
  execute_process(COMMAND ${OBJDUMP} -p ${library} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not read the tables of ${library}")
  endif()
  string(FIND "${table}" "${heading}" start)
  set(section "")
  if(start GREATER_EQUAL 0)
    string(SUBSTRING "${table}" ${start} -1 section)
    string(FIND "${section}" "\n\n" end)
    string(SUBSTRING "${section}" 0 ${end} section)
  endif()
  set(${out} "${section}" PARENT_SCOPE)
endfunction()

# The names the library exports: the export table of a DLL, the defined dynamic symbols of an
# ELF library.
function(exported_symbols library out)
  if(library MATCHES "\\.dll$")
    # The export name table lists one "[ordinal] name" line per exported name.
    dll_table_section(${library} "[Ordinal/Name Pointer] Table" table_rows)
    string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_@]*" rows "${table_rows}")
    set(leader "^\\[ *[0-9]+\\] ")
  else()
    execute_process(COMMAND ${NM} -D --defined-only ${library} OUTPUT_VARIABLE table
                    RESULT_VARIABLE failed)
    string(REGEX MATCHALL "[^\n]+" rows "${table}")
    set(leader "^.* ")
  endif()
  if(failed)
    message(FATAL_ERROR "could not list the exports of ${library}")
  endif()
  set(names "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "${leader}" "" name "${row}")
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The SDK operations (namespace XSI) the library imports, demangled, one list item each: from the
# import table of a DLL (what it takes from xsisdk.dll), the undefined dynamic symbols of an ELF
# library.
function(imported_sdk_operations library out)
  if(library MATCHES "\\.dll$")
    # After "DLL Name: xsisdk.dll", one line per imported symbol, each ending in its mangled name.
    dll_table_section(${library} "DLL Name: xsisdk.dll" section)
    string(REGEX MATCHALL "_Z[A-Za-z0-9_]+" mangled "${section}")
    execute_process(COMMAND ${CXXFILT} ${mangled} OUTPUT_VARIABLE demangled
                    RESULT_VARIABLE failed)
    # ULONG is unsigned long on Windows, unsigned int elsewhere: named one way, as elsewhere.
    string(REPLACE "unsigned long" "unsigned int" demangled "${demangled}")
  else()
    execute_process(COMMAND ${NM} -D --undefined-only -C ${library} OUTPUT_VARIABLE demangled
                    RESULT_VARIABLE failed)
    string(REGEX REPLACE "(^|\n) *[A-Za-z] " "\\1" demangled "${demangled}")
  endif()
  if(failed)
    message(FATAL_ERROR "could not list the imports of ${library}")
  endif()
  string(REPLACE ";" "\\;" demangled "${demangled}")
  string(REGEX MATCHALL "XSI::[^\n]+" operations "${demangled}")
  list(REMOVE_DUPLICATES operations)
  set(${out} ${operations} PARENT_SCOPE)
endfunction()
