// The kernel tables: per instruction set, which entries it has and the steps
// at which ZoomFrame changes strategy (measured at 1920 x 1080 and
// 3840 x 2160).
#include "renderer/instruction_sets.h"
#include "renderer/kernels.h"

namespace renderer::kernels {
namespace {

// Gathers cost several times a blend of two rows in plain C++ and with SSE2:
// gather whole texture rows only while they are reused for several frame
// rows.
constexpr Kernels PortableTable{.Name = "portable",
                                .JuliaRow = portable::JuliaRow,
                                .ReuseRowsBelowStep = 192,
                                .GatherBytes = portable::GatherBytesRow,
                                .BlendRowsOut = portable::BlendRowsOutRow,
                                .BlendBytes = portable::BlendBytesRow,
                                .GatherOut = portable::GatherOutRow};

#if defined(__i386__) || defined(__x86_64__)
constexpr Kernels Sse2Table{.Name = "sse2",
                            .Needs = FeaturesOf(RENDERER_TARGET_SSE2),
                            .JuliaRow = sse2::JuliaRow,
                            .ReuseRowsBelowStep = 192,
                            .GatherBytes = sse2::GatherBytesRow,
                            .BlendRowsOut = sse2::BlendRowsOutRow,
                            .BlendBytes = sse2::BlendBytesRow,
                            .GatherOut = sse2::GatherOutRow};

// Where frame rows step down by 80/256 texel or more, gathering the texture
// rows they need costs more than blending two texture rows per frame row and
// picking along them (the two cost the same at steps of about 90/256 at
// 1920 x 1080 and about 40/256 at 3840 x 2160).
constexpr Kernels Avx2Table{.Name = "avx2",
                            .Needs = FeaturesOf(RENDERER_TARGET_AVX2),
                            .JuliaRow = avx2::JuliaRow,
                            .ReuseRowsBelowStep = 80,
                            .GatherBytes = avx2::GatherBytesRow,
                            .BlendRowsOut = avx2::BlendRowsOutRow,
                            .BlendBytes = avx2::BlendBytesRow,
                            .GatherOut = avx2::GatherOutRow,
                            .GatherOutRows = avx2::GatherOutRows};

// One permute per sixteen columns costs less than blending two gathered
// rows: AVX-512 always blends two texture rows and picks along the result,
// or with VBMI below a quarter texel per frame row takes pair rows.
constexpr Kernels Avx512Table{.Name = "avx512",
                              .Needs = FeaturesOf(RENDERER_TARGET_AVX512),
                              .JuliaHalf = avx512::JuliaHalf,
                              .BlendBytes = avx512::BlendBytesRow,
                              .GatherOut = avx512::GatherOutRow,
                              .GatherOutRows = avx512::GatherOutRows};

constexpr Kernels Avx512VbmiTable{.Name = "avx512vbmi",
                                  .Needs = FeaturesOf(RENDERER_TARGET_AVX512VBMI),
                                  .JuliaHalf = avx512::JuliaHalf,
                                  .PairRowsBelowStep = 64,
                                  .WeighRow = avx512vbmi::WeighPairRow,
                                  .BlendPairsOut = avx512vbmi::BlendPairsOut,
                                  .BlendBytes = avx512::BlendBytesRow,
                                  .GatherOut = avx512vbmi::GatherOutRow,
                                  .GatherOutRows = avx512vbmi::GatherOutRows};
#endif

}  // namespace

const Kernels& Portable() { return PortableTable; }
#if defined(__i386__) || defined(__x86_64__)
const Kernels& Sse2() { return Sse2Table; }
const Kernels& Avx2() { return Avx2Table; }
const Kernels& Avx512() { return Avx512Table; }
const Kernels& Avx512Vbmi() { return Avx512VbmiTable; }
#endif

}  // namespace renderer::kernels
