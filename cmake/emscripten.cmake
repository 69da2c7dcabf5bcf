# The web build: Debian's Emscripten, whose JavaScript optimizer finds its Node modules only
# under /usr/share/nodejs. Configure checks run em++ too, so the variable is set both for this
# process and, through a launcher, for every link the build runs later.
set(MIRELUNE_EMSCRIPTEN_ROOT "/usr/share/emscripten" CACHE PATH "Where Emscripten is installed")
set(MIRELUNE_EMSCRIPTEN_NODE_PATH "/usr/share/nodejs" CACHE PATH "Node modules of Emscripten's tools")
set(ENV{NODE_PATH} "${MIRELUNE_EMSCRIPTEN_NODE_PATH}")
include("${MIRELUNE_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_COMMAND}" -E env "NODE_PATH=${MIRELUNE_EMSCRIPTEN_NODE_PATH}")
