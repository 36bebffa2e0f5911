# Each library publishes only its own headers: an include root in the build tree holds one
# link named after the module, so `#include "analysis/tallies.h"` resolves only for targets
# that link the analysis library. A module that reaches past its dependencies fails to build.
#   quorvela_publish(TARGET MODULE [SUBDIR])
# MODULE is the folder under src/ ("analysis"); SUBDIR publishes only that part of it
# ("charts" "engine" gives "charts/engine/..." and nothing else of charts).
function(quorvela_publish target module)
  set(sub "${ARGN}")
  if(sub)
    set(root "${CMAKE_BINARY_DIR}/modules/${module}_${sub}")
    set(link "${root}/${module}/${sub}")
    set(source "${CMAKE_SOURCE_DIR}/src/${module}/${sub}")
  else()
    set(root "${CMAKE_BINARY_DIR}/modules/${module}")
    set(link "${root}/${module}")
    set(source "${CMAKE_SOURCE_DIR}/src/${module}")
  endif()
  get_filename_component(parent "${link}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  # Made anew at every configure, so a stale or dangling link from an earlier tree is replaced.
  file(CREATE_LINK "${source}" "${link}" SYMBOLIC)
  target_include_directories(${target} PUBLIC "${root}")
endfunction()

# A module whose top folder holds headers beside a sub-folder that must stay private to it:
# its headers are linked one by one, the sub-folder left out.
#   quorvela_publish_headers(TARGET MODULE HEADER...)
function(quorvela_publish_headers target module)
  set(root "${CMAKE_BINARY_DIR}/modules/${module}_top")
  file(MAKE_DIRECTORY "${root}/${module}")
  foreach(header ${ARGN})
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/src/${module}/${header}" "${root}/${module}/${header}" SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
