# Every program of the build, the shipped two and the tests that run their
# code alike: a stack guard in each function with a local array or address
# taken, checked string and memory copies where the compiler knows the sizes,
# and each function and datum in a section of its own so that the linker drops
# what nothing calls. The loader may place the program anywhere and never runs
# its data; a 64-bit program may be placed anywhere in its address space.
# mingw-w64 takes the stack guard and the checked copies from libssp, which the
# driver links when it sees -fstack-protector-strong at the link as well.
add_compile_options(-fstack-protector-strong -ffunction-sections -fdata-sections)
add_compile_definitions(_FORTIFY_SOURCE=2)
add_link_options(-fstack-protector-strong -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--high-entropy-va)
endif()
# No path of the machine that built a program inside it: file names that the
# compiler records (__FILE__) read as if built in the source folder.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
