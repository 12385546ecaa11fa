# nlohmann-json, the header-only library icehost uses, as the target
# nlohmann_json::nlohmann_json; {fmt}, which textformat uses header-only, as the target
# fmt::fmt-header-only, and xxHash, which texthash uses header-only, as xxHash::xxhash, so that
# their DLLs link nothing more.
#
# Their packages' own config files are used where the build finds them (a Linux build on Debian).
# A cross build looks only inside its target's root, where no such package is: it takes the
# header trees of the build machine instead. Those trees alone are linked into a folder of the
# build tree and exposed from there, never the machine's whole include folder, whose C library
# headers would break a build for another system.
function(textnodes_header_library package target header_tree)
  find_package(${package} CONFIG QUIET)
  if(TARGET ${target})
    return()
  endif()
  string(TOUPPER "TEXTNODES_${package}_INCLUDE_DIR" found)
  find_path(${found} ${header_tree} NO_CMAKE_FIND_ROOT_PATH REQUIRED
            DOC "the folder holding ${header_tree} of ${package}")
  get_filename_component(tree_name ${header_tree} DIRECTORY)
  set(folder ${PROJECT_BINARY_DIR}/header-libraries/${package})
  file(MAKE_DIRECTORY ${folder})
  file(CREATE_LINK ${${found}}/${tree_name} ${folder}/${tree_name} SYMBOLIC COPY_ON_ERROR)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${folder})
  message(STATUS "${package}: the headers in ${${found}}/${tree_name}")
endfunction()

textnodes_header_library(nlohmann_json nlohmann_json::nlohmann_json nlohmann/json.hpp)
textnodes_header_library(fmt fmt::fmt-header-only fmt/format.h)
# The package's own target says so; the header tree alone does not.
set_property(TARGET fmt::fmt-header-only APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS
                                                         FMT_HEADER_ONLY=1)

# Boost.Regex, header-only from Boost 1.81 and used standalone, as the target Boost::regex: a
# folder of the build tree that holds boost/regex/ and its two headers alone, for every build,
# so that no other part of Boost, and none of the machine's include folder, is within reach.
# Only the text_regex room links it.
find_path(TEXTNODES_BOOST_REGEX_INCLUDE_DIR boost/regex.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED
          DOC "the folder holding boost/regex.hpp (Debian: libboost1.81-dev)")
set(boost_folder ${PROJECT_BINARY_DIR}/header-libraries/Boost/boost)
file(MAKE_DIRECTORY ${boost_folder})
foreach(entry IN ITEMS regex regex.hpp regex_fwd.hpp)
  file(CREATE_LINK ${TEXTNODES_BOOST_REGEX_INCLUDE_DIR}/boost/${entry} ${boost_folder}/${entry}
       SYMBOLIC COPY_ON_ERROR)
endforeach()
add_library(Boost::regex INTERFACE IMPORTED)
set_target_properties(Boost::regex PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES ${PROJECT_BINARY_DIR}/header-libraries/Boost)
message(STATUS "Boost.Regex: the headers in ${TEXTNODES_BOOST_REGEX_INCLUDE_DIR}/boost/regex")

# xxHash's one header, xxhash.h, for texthash's XXH32 compiled inline (Debian: libxxhash-dev,
# which ships no CMake package), as the target xxHash::xxhash: a folder of the build tree that
# holds that header alone, for every build, so that none of the machine's include folder is
# within reach.
find_path(TEXTNODES_XXHASH_INCLUDE_DIR xxhash.h NO_CMAKE_FIND_ROOT_PATH REQUIRED
          DOC "the folder holding xxhash.h (Debian: libxxhash-dev)")
set(xxhash_folder ${PROJECT_BINARY_DIR}/header-libraries/xxHash)
file(MAKE_DIRECTORY ${xxhash_folder})
file(CREATE_LINK ${TEXTNODES_XXHASH_INCLUDE_DIR}/xxhash.h ${xxhash_folder}/xxhash.h SYMBOLIC
     COPY_ON_ERROR)
add_library(xxHash::xxhash INTERFACE IMPORTED)
set_target_properties(xxHash::xxhash PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${xxhash_folder})
message(STATUS "xxHash: the header ${TEXTNODES_XXHASH_INCLUDE_DIR}/xxhash.h")
