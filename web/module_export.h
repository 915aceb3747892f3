// What marks a function the page calls in the module: kept in the WebAssembly build, plain
// elsewhere, where the same files are compiled to be checked.
#pragma once

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SPROING_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SPROING_EXPORT
#endif
