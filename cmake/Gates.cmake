# Compiler warnings that find faults, for every C++ file of ours. A
# developer's build shows them and goes on; WARNINGS_AS_ERRORS (CI sets it,
# through WERROR=1 in the scripts) stops the build at the first one.
# GoogleTest's own sources are not ours to mend and keep their own warnings:
# at -O3, -Wnull-dereference reports code of theirs that is sound.
option(WARNINGS_AS_ERRORS "Stop the build at any compiler warning" OFF)
set(FAULT_WARNINGS -Wshadow -Wnon-virtual-dtor -Wcast-qual -Wduplicated-cond -Wlogical-op
    -Wnull-dereference -Wformat=2)
if(WARNINGS_AS_ERRORS)
  list(APPEND FAULT_WARNINGS -Werror)
endif()
set(ours "$<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<IN_LIST:$<TARGET_PROPERTY:NAME>,gtest;gtest_main>>>")
add_compile_options("$<${ours}:${FAULT_WARNINGS}>")

# A test build checks every index into the standard containers: one out of
# range aborts the program instead of reading a neighbour. Everything such a
# build compiles (the libraries the tests link, the programs the sessions
# start, GoogleTest) is compiled alike, so no inline function of the standard
# library exists in two forms. A build without tests (BUILD_TESTING=OFF, as a
# release is built) is compiled as it ships.
if(BUILD_TESTING)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

# wine_heap_checks(TEST): TEST, a program that drives no window, runs with
# Wine's heap checks, and any heap error fails it. The heap channel
# (WINEDEBUG) reports a double free or a free of a pointer the heap never
# gave out; the program's global flags (heap validation, tail and free
# checking, set by a setup step in the Wine prefix for that program alone)
# add a check of the whole heap at every allocation, which finds a freed
# block written to. Costs about 6 s in all; windows' tests stay unchecked, as
# Wine's own window code is not ours to mend.
function(wine_heap_checks test)
  set(options "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options")
  add_test(NAME ${test}_heap_checks
           COMMAND wine reg add "${options}\\$<TARGET_FILE_NAME:${test}>" /v GlobalFlag /t REG_DWORD /d 0xF0 /f)
  set_tests_properties(${test}_heap_checks PROPERTIES FIXTURES_SETUP ${test}_heap)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED ${test}_heap
                       ENVIRONMENT "WINEDEBUG=-all,err+heap,warn+heap"
                       FAIL_REGULAR_EXPRESSION "(err|warn):heap:")
endfunction()
