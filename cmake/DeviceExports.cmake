# The device library is bound by its decorated 32-bit stdcall names
# ("_ismInit@0"). A stand-in exports exactly those names in either build: the
# 32-bit compiler decorates the function itself ("ismInit@0"), the 64-bit one
# does not ("ismInit"), so the export list is written for the build at hand.
#   device_exports(OUT_DEF ismInit@0 ismExit@0 ...)
function(device_exports out_def)
  set(text "LIBRARY pieceif.dll\nEXPORTS\n")
  foreach(entry ${ARGN})
    string(REGEX REPLACE "@.*" "" plain "${entry}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "  _${entry} = ${entry}\n")
    else()
      string(APPEND text "  _${entry} = ${plain}\n")
    endif()
  endforeach()
  file(WRITE "${out_def}.tmp" "${text}")
  configure_file("${out_def}.tmp" "${out_def}" COPYONLY)
endfunction()
