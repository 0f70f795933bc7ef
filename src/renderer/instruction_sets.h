// The instruction sets of the vector kernel tables, each stated once, as the
// compiler's target names. A kernel file compiles for its level with
// RENDERER_COMPILE_FOR(level) before anything else; its table's Needs is
// FeaturesOf(level), read from the same string, and the code-path choice
// runs the table only where the processor and the system have all of it.
// No includes: this comes before the target switch.
#pragma once

#define RENDERER_TARGET_SSE2 "sse2"
#define RENDERER_TARGET_AVX2 "avx2"
// Every processor with AVX-512 F has BMI2 (bit deposit and extract), but a
// virtual machine may hide it.
#define RENDERER_TARGET_AVX512 "avx2,avx512f,avx512bw,avx512vl,bmi2"
// With byte permutes.
#define RENDERER_TARGET_AVX512VBMI RENDERER_TARGET_AVX512 ",avx512vbmi"

#define RENDERER_PRAGMA(text) _Pragma(#text)
// Everything after it in the file is compiled for the instruction sets `sets`.
#define RENDERER_COMPILE_FOR(sets) RENDERER_PRAGMA(GCC target(sets))

namespace renderer::kernels {

// What a table needs: instruction sets, and the register state the system
// must save on a switch for the wider registers.
namespace feature {
enum : unsigned {
  Sse2 = 1u << 0,
  Avx = 1u << 1,
  Avx2 = 1u << 2,
  Bmi2 = 1u << 3,
  Avx512F = 1u << 4,
  Avx512Bw = 1u << 5,
  Avx512Vl = 1u << 6,
  Avx512Vbmi = 1u << 7,
  YmmState = 1u << 8,  // XCR0 bits 1 and 2: SSE and AVX state
  ZmmState = 1u << 9,  // XCR0 bits 5 to 7: opmask, upper ZMM0-15, ZMM16-31
};
}  // namespace feature

// The features of one target name (of length n), with those it implies as a
// compiler target; a name not listed here does not compile.
consteval unsigned FeaturesOfName(const char* name, int n) {
  auto is = [&](const char* s) {
    int i = 0;
    for (; s[i] != '\0'; ++i)
      if (i >= n || name[i] != s[i]) return false;
    return i == n;
  };
  namespace f = feature;
  const unsigned avx2 = f::Sse2 | f::Avx | f::Avx2 | f::YmmState;
  const unsigned avx512 = avx2 | f::Avx512F | f::ZmmState;
  if (is("sse2")) return f::Sse2;
  if (is("avx2")) return avx2;
  if (is("bmi2")) return f::Bmi2;
  if (is("avx512f")) return avx512;
  if (is("avx512bw")) return avx512 | f::Avx512Bw;
  if (is("avx512vl")) return avx512 | f::Avx512Vl;
  if (is("avx512vbmi")) return avx512 | f::Avx512Bw | f::Avx512Vbmi;
  throw "a target name the run-time check does not know";
}

// The features of a comma-separated target string.
consteval unsigned FeaturesOf(const char* target) {
  unsigned all = 0;
  for (int start = 0, i = 0;; ++i)
    if (target[i] == ',' || target[i] == '\0') {
      all |= FeaturesOfName(target + start, i - start);
      if (target[i] == '\0') return all;
      start = i + 1;
    }
}

}  // namespace renderer::kernels
