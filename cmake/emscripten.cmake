# Builds for the browser, as WebAssembly, with Debian's emscripten:
#   cmake -S . -B build-web -G Ninja --toolchain cmake/emscripten.cmake
# Programs built for the tests run under node.

# emcc's JavaScript tools need Debian's node modules (acorn), which a node
# from elsewhere does not look for on its own.
set(ENV{NODE_PATH} /usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Plain node, without the threads flag that emcmake adds and today's node rejects.
find_program(VELSONA_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELSONA_NODE})

# C++ exceptions work as on the desktop: misuse of the window throws, and
# the tests catch it. (emscripten's default turns a throw into an abort.)
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fexceptions)

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
