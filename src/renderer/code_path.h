// Which inner loops the picture runs on: what this processor and system
// support, the kernel tables they allow, and the active choice.
#pragma once

#include <cstdint>
#include <span>

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

// Every table built into this program (on the Avx512 path, the one with VBMI
// is taken where the processor has it).
std::span<const kernels::Kernels* const> AllKernelTables();
// Whether this processor and system run the table.
bool ProcessorRuns(const kernels::Kernels& k);

// What the processor reports (CPUID) and what the system saves on a switch
// (XCR0, read with XGETBV): a wider register set is usable only with both.
struct CpuState {
  bool Sse2, Osxsave, Avx, Avx2, Bmi2, Avx512F, Avx512Bw, Avx512Vl, Avx512Vbmi;
  std::uint64_t Xcr0;
};
// The features (kernels::feature) of that state.
unsigned FeaturesOf(const CpuState& s);

}  // namespace renderer
