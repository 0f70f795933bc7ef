#include "renderer/code_path.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "renderer/instruction_sets.h"

namespace renderer {

unsigned FeaturesOf(const CpuState& s) {
  using namespace kernels::feature;
  // XCR0 bits: SSE and AVX (YMM upper halves) state; opmask, ZMM0-15 upper
  // halves and ZMM16-31 state.
  constexpr std::uint64_t ymm = 0x6, zmm = 0xE6;
  const auto bit = [](bool has, unsigned feature) { return has ? feature : 0u; };
  return bit(s.Sse2, Sse2) | bit(s.Avx, Avx) | bit(s.Avx2, Avx2) | bit(s.Bmi2, Bmi2) |
         bit(s.Avx512F, Avx512F) | bit(s.Avx512Bw, Avx512Bw) | bit(s.Avx512Vl, Avx512Vl) |
         bit(s.Avx512Vbmi, Avx512Vbmi) | bit(s.Osxsave && (s.Xcr0 & ymm) == ymm, YmmState) |
         bit(s.Osxsave && (s.Xcr0 & zmm) == zmm, ZmmState);
}

namespace {

#if defined(__i386__) || defined(__x86_64__)
// XCR0 through XGETBV; only call where CPUID reports OSXSAVE.
std::uint64_t ReadXcr0() {
  std::uint32_t lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return static_cast<std::uint64_t>(hi) << 32 | lo;
}

CpuState ReadCpuState() {
  CpuState s{};
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d)) {
    s.Sse2 = (d & bit_SSE2) != 0;
    s.Osxsave = (c & bit_OSXSAVE) != 0;
    s.Avx = (c & bit_AVX) != 0;
  }
  if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) {
    s.Avx2 = (b & bit_AVX2) != 0;
    s.Bmi2 = (b & bit_BMI2) != 0;
    s.Avx512F = (b & bit_AVX512F) != 0;
    s.Avx512Bw = (b & bit_AVX512BW) != 0;
    s.Avx512Vl = (b & bit_AVX512VL) != 0;
    s.Avx512Vbmi = (c & bit_AVX512VBMI) != 0;
  }
  if (s.Osxsave) s.Xcr0 = ReadXcr0();
  return s;
}
#else
CpuState ReadCpuState() { return {}; }
#endif

unsigned Features() {
  static const unsigned features = FeaturesOf(ReadCpuState());
  return features;
}

#if defined(__i386__) || defined(__x86_64__)
const kernels::Kernels* const Tables[] = {&kernels::Portable(), &kernels::Sse2(), &kernels::Avx2(),
                                          &kernels::Avx512(), &kernels::Avx512Vbmi()};
#else
const kernels::Kernels* const Tables[] = {&kernels::Portable()};
#endif

// The table of a path; null where this build has none.
const kernels::Kernels* TableOf(CodePath p) {
  switch (p) {
    case CodePath::Portable:
      return &kernels::Portable();
#if defined(__i386__) || defined(__x86_64__)
    case CodePath::Sse2:
      return &kernels::Sse2();
    case CodePath::Avx2:
      return &kernels::Avx2();
    case CodePath::Avx512:
      return ProcessorRuns(kernels::Avx512Vbmi()) ? &kernels::Avx512Vbmi() : &kernels::Avx512();
#endif
    default:
      return nullptr;
  }
}

struct Active {
  CodePath path;
  const kernels::Kernels* table;
};

Active& Current() {
  static Active active{BestCodePath(), TableOf(BestCodePath())};
  return active;
}

}  // namespace

std::span<const kernels::Kernels* const> AllKernelTables() { return Tables; }

bool ProcessorRuns(const kernels::Kernels& k) { return (Features() & k.Needs) == k.Needs; }

bool CodePathAvailable(CodePath p) {
  const kernels::Kernels* k = TableOf(p);
  return k != nullptr && ProcessorRuns(*k);
}

CodePath BestCodePath() {
  for (CodePath p : {CodePath::Avx512, CodePath::Avx2, CodePath::Sse2})
    if (CodePathAvailable(p)) return p;
  return CodePath::Portable;
}

bool SetCodePath(CodePath p) {
  if (!CodePathAvailable(p)) return false;
  Current() = {p, TableOf(p)};
  return true;
}

CodePath ActiveCodePath() { return Current().path; }

const kernels::Kernels& ActiveKernels() { return *Current().table; }

const char* CodePathName(CodePath p) {
  switch (p) {
    case CodePath::Portable:
      return "portable";
    case CodePath::Sse2:
      return "sse2";
    case CodePath::Avx2:
      return "avx2";
    case CodePath::Avx512:
      return "avx512";
  }
  return "?";
}

}  // namespace renderer
