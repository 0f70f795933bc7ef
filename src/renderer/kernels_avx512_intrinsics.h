// The compiler's intrinsics for the AVX-512 kernel files, included after
// their target switch. GCC 12 warns inside its own AVX-512 headers, whose
// "undefined" vectors initialise themselves: those warnings are off for the
// headers' lines alone.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
