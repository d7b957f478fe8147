# program_resources(TARGET RC_FILE): the program's manifest, written for the
# build at hand from one template, the project's version as "Version.h", and
# its icon TARGET.ico beside the resource script. The script names them
# "TARGET.manifest", "Version.h" and "TARGET.ico".
function(program_resources target rc)
  set(PROGRAM_NAME ${target})
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${manifest} @ONLY)
  set(version ${CMAKE_CURRENT_BINARY_DIR}/Version.h)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in ${version} @ONLY)
  set_property(SOURCE ${rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${manifest} ${version} ${CMAKE_CURRENT_SOURCE_DIR}/${target}.ico)
endfunction()
