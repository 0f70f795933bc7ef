#include "renderer/code_path.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include <cstdint>

namespace renderer {

namespace kernels {

bool HasSse2(const CpuState& s) { return s.Sse2; }

// The system must save the YMM halves (XCR0 bits 1 and 2) as well.
bool HasAvx2(const CpuState& s) {
  return s.Sse2 && s.Avx && s.Avx2 && s.Osxsave && (s.Xcr0 & XcrYmm) == XcrYmm;
}

// The opmask and all ZMM state too (XCR0 bits 5 to 7). Every processor with
// AVX-512 has BMI2, but a virtual machine may hide it.
bool HasAvx512(const CpuState& s) {
  return HasAvx2(s) && s.Bmi2 && s.Avx512F && s.Avx512Bw && s.Avx512Vl &&
         (s.Xcr0 & XcrZmm) == XcrZmm;
}

}  // namespace kernels

namespace {

#if defined(__i386__) || defined(__x86_64__)
// XCR0 through XGETBV; only call where CPUID reports OSXSAVE.
std::uint64_t ReadXcr0() {
  std::uint32_t lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return static_cast<std::uint64_t>(hi) << 32 | lo;
}

kernels::CpuState ReadCpuState() {
  kernels::CpuState s{};
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

const kernels::CpuState& Cpu() {
  static const kernels::CpuState cpu = ReadCpuState();
  return cpu;
}
#endif

bool ProcessorHas(CodePath p) {
#if defined(__i386__) || defined(__x86_64__)
  const kernels::CpuState& cpu = Cpu();
  switch (p) {
    case CodePath::Portable:
      return true;
    case CodePath::Sse2:
      return kernels::HasSse2(cpu);
    case CodePath::Avx2:
      return kernels::HasAvx2(cpu);
    case CodePath::Avx512:
      return kernels::HasAvx512(cpu);
  }
  return false;
#else
  return p == CodePath::Portable;
#endif
}

const kernels::Kernels& TableOf(CodePath p) {
#if defined(__i386__) || defined(__x86_64__)
  if (p == CodePath::Avx512) return Cpu().Avx512Vbmi ? kernels::Avx512Vbmi() : kernels::Avx512();
  if (p == CodePath::Avx2) return kernels::Avx2();
  if (p == CodePath::Sse2) return kernels::Sse2();
#endif
  (void)p;
  return kernels::Portable();
}

struct Active {
  CodePath path;
  const kernels::Kernels* table;
};

Active& Current() {
  static Active active{BestCodePath(), &TableOf(BestCodePath())};
  return active;
}

}  // namespace

bool CodePathAvailable(CodePath p) { return ProcessorHas(p); }

CodePath BestCodePath() {
  if (ProcessorHas(CodePath::Avx512)) return CodePath::Avx512;
  if (ProcessorHas(CodePath::Avx2)) return CodePath::Avx2;
  if (ProcessorHas(CodePath::Sse2)) return CodePath::Sse2;
  return CodePath::Portable;
}

bool SetCodePath(CodePath p) {
  if (!CodePathAvailable(p)) return false;
  Current() = {p, &TableOf(p)};
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
