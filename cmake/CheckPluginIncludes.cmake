cmake_minimum_required(VERSION 3.25)
# cmake -DROOT=source-dir -DROOMS="frame;number_text;..." -DFOLDERS="frame;kestrune;..."
#       -P CheckPluginIncludes.cmake
# Fails unless plug-in code (every source and header under FOLDERS but the tests) includes only
# the standard library, the headers of the plug-ins' own ROOMS (<room>/...), and files of its own
# folder: nothing of the host side (xsi_host.h, host/), which a real host's SDK lacks. The SDK's
# plug-in header xsi_sdk.h is included by the frame's binding file alone, so that a port to
# another SDK edits that one file. An outside header library is included by the one folder that uses it: {fmt} by
# nodes/textformat, xxHash's xxhash.h by nodes/texthash, Boost's headers (<boost/...>) by
# text_regex/, behind its own small interface.
list(JOIN ROOMS "|" rooms)
set(problems "")
set(checked 0)
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  list(FILTER files EXCLUDE REGEX "_test\\.(cpp|h)$")
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    get_filename_component(here ${file} DIRECTORY)
    file(RELATIVE_PATH shown ${ROOT} ${file})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "include[ \t]*([<\"])([^>\"]+)" match "${line}")
      set(name "${CMAKE_MATCH_2}")
      if(CMAKE_MATCH_1 STREQUAL "<")
        # The standard library's headers have neither a folder nor an extension.
        set(allowed FALSE)
        if(NOT name MATCHES "[/.]" OR (name MATCHES "^fmt/" AND file MATCHES "/nodes/textformat/")
           OR (name STREQUAL "xxhash.h" AND file MATCHES "/nodes/texthash/")
           OR (name MATCHES "^boost/" AND shown MATCHES "^text_regex/"))
          set(allowed TRUE)
        endif()
      else()
        set(allowed FALSE)
        if(name MATCHES "^(${rooms})/" OR EXISTS ${here}/${name}
           OR (name STREQUAL "xsi_sdk.h" AND file MATCHES "/frame/sdk_binding\\.h$"))
          set(allowed TRUE)
        endif()
      endif()
      if(NOT allowed)
        string(APPEND problems "\n  ${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "plug-in code includes what a plug-in must not see:${problems}")
endif()
message(STATUS "${checked} plug-in files include only the standard library and plug-in rooms")
