# Include roots: a target sees the headers of exactly the modules it links.
#
# Sources include project headers as "module/File.h". Rather than putting the
# repository root on every include path (which would let any file include any
# module), each module gets a root of its own in the build tree holding one
# symbolic link, named after the module, to the module's folder. The module's
# target publishes that root; a target that does not link the module does not
# see it, and a forbidden include fails to compile. The cross-builds for
# Windows run on Linux too, so the links serve them as well.
# tests/layers checks the same rule on the include lines themselves.

set(STRATIVUE_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include)

# strativue_include_root(<folder> <variable>): makes the root holding the link
# <folder> -> the source folder of that name and stores its path in <variable>.
function(strativue_include_root folder variable)
  set(root ${STRATIVUE_INCLUDE_ROOTS}/${folder})
  if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder})
    message(FATAL_ERROR "No folder ${folder} to make an include root of")
  endif()
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  set(${variable} ${root} PARENT_SCOPE)
endfunction()

# strativue_module_headers(<target> <folder>): the target publishes the root
# of <folder> to itself and to every target that links it.
function(strativue_module_headers target folder)
  strativue_include_root(${folder} root)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# strativue_interface_headers(<target> <folder> <header>...): an interface
# target that publishes only the named headers of <folder>, for users that may
# call a module through its published interface but not reach inside it.
function(strativue_interface_headers target folder)
  set(root ${STRATIVUE_INCLUDE_ROOTS}/${target})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${ARGN})
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${folder}/${header})
      message(FATAL_ERROR "No header ${folder}/${header} to publish")
    endif()
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${root})
endfunction()
