# thrustlet_windows_resource(TARGET DESCRIPTION): gives a Windows program the
# Thrustlet icon and version information. Does nothing on other systems.
function(thrustlet_windows_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(RC_NAME ${target})
  set(RC_FILE_NAME ${target}.exe)
  set(RC_DESCRIPTION ${description})
  set(RC_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/thrustlet.ico)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows_resource.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
