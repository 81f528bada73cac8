# Carries the version from the file VERSION (read by the top-level project())
# into the programs: the header vx_version.h for their --version, and on
# Windows the version resource and the manifest of each .exe.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/VERSION)
if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "VERSION must hold MAJOR.MINOR.PATCH, not \"${PROJECT_VERSION}\"")
endif()

set(vx_generated ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vx_version.h.in ${vx_generated}/vx_version.h @ONLY)
add_library(vx_version INTERFACE)
target_include_directories(vx_version INTERFACE ${vx_generated})

# vx_version_resource(PROGRAM DESCRIPTION OUT_VAR): sets OUT_VAR to a
# resource script with the version resource and the manifest of
# PROGRAM.exe, to add to its sources; empty outside Windows.
function(vx_version_resource program description out_var)
  set(${out_var} "" PARENT_SCOPE)
  if(NOT WIN32)
    return()
  endif()
  set(VX_PROGRAM ${program})
  set(VX_DESCRIPTION ${description})
  # Windows wants four numbers; the fourth is always 0.
  set(VX_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(VX_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(VX_MANIFEST ${vx_generated}/${program}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${VX_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${vx_generated}/${program}_version.rc @ONLY)
  set_source_files_properties(${vx_generated}/${program}_version.rc PROPERTIES OBJECT_DEPENDS ${VX_MANIFEST})
  set(${out_var} ${vx_generated}/${program}_version.rc PARENT_SCOPE)
endfunction()
