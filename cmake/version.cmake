# The version is written once, in project(). Everything that shows it is made
# from it here: the program's own version text ("1.00" for 1.0.0: the major
# number, then the minor in two digits), and on Windows the resource script
# with its version record, the manifest and the installer source. Its working
# variables stay in this block; only the names listed after PROPAGATE are
# seen by the rest of the build.
block(PROPAGATE VELSONA_VERSION_TEXT VELSONA_MANIFEST VELSONA_RC VELSONA_WXS)
  set(minor ${PROJECT_VERSION_MINOR})
  if(minor LESS 10)
    set(minor 0${minor})
  endif()
  set(VELSONA_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${minor})
  set(VELSONA_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)

  set(generated ${CMAKE_BINARY_DIR}/generated)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in ${generated}/velsona/version.h @ONLY)
  add_library(velsona_version INTERFACE)
  add_library(velsona::version ALIAS velsona_version)
  target_include_directories(velsona_version INTERFACE ${generated})

  if(WIN32)
    set(VELSONA_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/resources)
    set(VELSONA_MANIFEST ${generated}/velsona.manifest)
    set(VELSONA_RC ${generated}/velsona.rc)
    set(VELSONA_WXS ${generated}/velsona.wxs)
    configure_file(${VELSONA_RESOURCES_DIR}/windows/velsona.manifest.in ${VELSONA_MANIFEST} @ONLY)
    configure_file(${VELSONA_RESOURCES_DIR}/velsona.rc.in ${VELSONA_RC} @ONLY)
    configure_file(${VELSONA_RESOURCES_DIR}/windows/velsona.wxs.in ${VELSONA_WXS} @ONLY)
  endif()
endblock()
