// Which tables a processor and system run: the features each table needs,
// and the choice against the compiler's own check of this processor.
#include "renderer/code_path.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

namespace k = renderer::kernels;

#if defined(__i386__) || defined(__x86_64__)
TEST(CodePath, WiderRegistersNeedTheSetsAndTheSystemToSaveThem) {
  // OSXSAVE, AVX-512, VBMI, XCR0; then whether the AVX2 and the AVX-512 tables run.
  const std::tuple<const char*, bool, bool, bool, std::uint64_t, bool, bool> rows[] = {
      {"everything", true, true, true, 0xE7, true, true},
      {"no XSAVE for programs", false, true, true, 0xE7, false, false},
      {"YMM state not saved", true, true, true, 0xE3, false, false},
      {"SSE state not saved", true, true, true, 0xE5, false, false},
      {"opmask not saved", true, true, true, 0xC7, true, false},
      {"upper ZMM0-15 not saved", true, true, true, 0xA7, true, false},
      {"ZMM16-31 not saved", true, true, true, 0x67, true, false},
      {"no AVX-512 in the processor", true, false, false, 0xE7, true, false},
  };
  const auto runs = [](const renderer::CpuState& s, const k::Kernels& t) {
    return (renderer::FeaturesOf(s) & t.Needs) == t.Needs;
  };
  for (const auto& [what, osxsave, avx512, vbmi, xcr0, avx2, all] : rows) {
    SCOPED_TRACE(what);
    const renderer::CpuState s{true, osxsave, true, true, true, avx512, avx512, avx512, vbmi, xcr0};
    EXPECT_TRUE(runs(s, k::Sse2()));
    EXPECT_EQ(runs(s, k::Avx2()), avx2);
    EXPECT_EQ(runs(s, k::Avx512()), all);
    EXPECT_EQ(runs(s, k::Avx512Vbmi()), all);
  }
  // Each set on its own; VBMI only for the table that uses it.
  renderer::CpuState all{true, true, true, true, true, true, true, true, true, 0xE7};
  for (bool* missing : {&all.Sse2, &all.Avx, &all.Avx2, &all.Bmi2, &all.Avx512F, &all.Avx512Bw,
                        &all.Avx512Vl, &all.Avx512Vbmi}) {
    *missing = false;
    EXPECT_FALSE(runs(all, k::Avx512Vbmi()));
    EXPECT_EQ(runs(all, k::Avx512()), missing == &all.Avx512Vbmi);
    EXPECT_EQ(runs(all, k::Avx2()),
              missing != &all.Sse2 && missing != &all.Avx && missing != &all.Avx2);
    *missing = true;
  }
}

TEST(CodePath, SetsAsTheCompilerFindsThem) {
  EXPECT_TRUE(renderer::CodePathAvailable(renderer::CodePath::Portable));
  EXPECT_TRUE(renderer::CodePathAvailable(renderer::CodePath::Sse2));  // the program's least
  EXPECT_EQ(renderer::CodePathAvailable(renderer::CodePath::Avx2),
            __builtin_cpu_supports("avx2") != 0);
  EXPECT_EQ(renderer::CodePathAvailable(renderer::CodePath::Avx512),
            __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("bmi2"));
  EXPECT_EQ(renderer::ProcessorRuns(k::Avx512Vbmi()),
            renderer::CodePathAvailable(renderer::CodePath::Avx512) &&
                __builtin_cpu_supports("avx512vbmi"));
}
#endif

}  // namespace
