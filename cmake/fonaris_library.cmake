# One library per subsystem folder, with its dependencies declared once:
#
#   fonaris_library(<name> [PLATFORM] [FOLDER <dir>] SOURCES <files...> [DEPENDS <names...>])
#
# makes the static library fonaris_<name> from the folder <dir> (default: the
# current one), links it to the libraries of its dependencies and checks at
# build time that its files include headers only from its own folder and from
# the folders of its dependencies. Core libraries are portable: they must not
# include the Windows headers; PLATFORM marks a platform implementation.
# Dependency names are folders: common, settings, net, calls, dialogs, app,
# platform (the interfaces), res (resource and text ids).

set(FONARIS_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)

# The folder of a dependency name, and the target that stands for it.
function(_fonaris_dependency name folder_var target_var)
  if(name STREQUAL "platform")
    set(${folder_var} platform PARENT_SCOPE)
    set(${target_var} fonaris_platform_api PARENT_SCOPE)
  elseif(name STREQUAL "res")
    set(${folder_var} res PARENT_SCOPE)
    set(${target_var} fonaris_ids PARENT_SCOPE)
  else()
    set(${folder_var} ${name} PARENT_SCOPE)
    set(${target_var} fonaris_${name} PARENT_SCOPE)
  endif()
endfunction()

function(fonaris_library name)
  cmake_parse_arguments(ARG "PLATFORM" "FOLDER" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_FOLDER)
    file(RELATIVE_PATH ARG_FOLDER ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources)
  foreach(src IN LISTS ARG_SOURCES)
    get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND sources ${abs})
  endforeach()

  set(target fonaris_${name})
  add_library(${target} STATIC ${sources})
  set(allowed ${ARG_FOLDER} platform)
  target_link_libraries(${target} PUBLIC fonaris_platform_api)
  foreach(dep IN LISTS ARG_DEPENDS)
    _fonaris_dependency(${dep} folder dep_target)
    list(APPEND allowed ${folder})
    target_link_libraries(${target} PUBLIC ${dep_target})
  endforeach()
  list(REMOVE_DUPLICATES allowed)

  # Headers of the folder belong to it; sources are the ones listed (a frame
  # operation kept beside its subsystem is checked as part of the frame).
  file(GLOB headers ${CMAKE_SOURCE_DIR}/${ARG_FOLDER}/*.h)
  set(portable ON)
  if(ARG_PLATFORM)
    set(portable OFF)
  endif()
  # The lists go through a file: a custom command's arguments do not keep
  # their semicolons.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes-ok)
  set(params ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes.cmake)
  file(CONFIGURE OUTPUT ${params} CONTENT
       "set(NAME ${target})\nset(FILES \"${sources};${headers}\")\nset(ALLOWED \"${allowed}\")\nset(PORTABLE ${portable})\n")
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DPARAMS=${params} -DSTAMP=${stamp} -P ${FONARIS_CHECK_SCRIPT}
    DEPENDS ${sources} ${headers} ${params} ${FONARIS_CHECK_SCRIPT}
    COMMENT "Checking the includes of ${target}"
    VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
  if(NOT ARG_PLATFORM)
    set_property(GLOBAL APPEND PROPERTY FONARIS_CORE_LIBRARIES ${target})
  endif()
endfunction()
