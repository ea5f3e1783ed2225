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

# C++ exceptions stay off, as emscripten has them by default: nothing here
# throws (misuse of the window stops the program, as on every system), so
# none can cross from C++ into the page's JavaScript, and the program
# carries no code to catch any.

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
