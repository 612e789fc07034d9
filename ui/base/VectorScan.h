#pragma once
// Whether the text scanners of the core (markup values and text, UTF-8
// widening) work 16 bytes at a time with SSE2.
//
// The product is built for SSE2 (cmake/VornexBuild.cmake): the browser
// engine it embeds needs an SSE3-class processor anyway, so no machine that
// can run the program lacks it, and the vector loops are the ones that ship.
// Defining VORNEX_SCALAR_SCAN compiles the portable loops instead; the native
// build does that for a second copy of the markup tests and fuzzer, so both
// loops are tested and fuzzed.

#if defined(__SSE2__) && !defined(VORNEX_SCALAR_SCAN)
#define VORNEX_VECTOR_SCAN 1
#include <emmintrin.h>
#else
#define VORNEX_VECTOR_SCAN 0
#endif

// The Windows build is the product; losing -msse2 there would quietly ship
// (and test) the portable loops instead.
#if defined(_WIN32) && !VORNEX_VECTOR_SCAN && !defined(VORNEX_SCALAR_SCAN)
#error "the product is built for SSE2 (cmake/VornexBuild.cmake)"
#endif
