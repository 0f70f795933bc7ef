// Which inner loops the picture runs on: the kernel tables per instruction
// set, what this processor and system support, and the active choice.
#pragma once

#include "renderer/kernels.h"

namespace renderer {

// RenderJulia and ZoomFrame run on one of these code paths; all give the same
// bytes. The best one the processor has is chosen on first use.
enum class CodePath { Portable, Sse2, Avx2, Avx512 };
constexpr CodePath AllCodePaths[] = {CodePath::Portable, CodePath::Sse2, CodePath::Avx2,
                                     CodePath::Avx512};
// Built into this program and supported by this processor and system.
bool CodePathAvailable(CodePath p);
// Chooses the path for later calls; false (and no change) if unavailable.
bool SetCodePath(CodePath p);
CodePath ActiveCodePath();
CodePath BestCodePath();
const char* CodePathName(CodePath p);

// The table of the active path.
const kernels::Kernels& ActiveKernels();

}  // namespace renderer
