// Speed of the texture and the resampler: the plain version against each
// code path this processor has, at 1920 x 1080 and 3840 x 2160. Frames follow
// the clock schedule of `zoomshot --bench` (1000 + 750 n ms).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "renderer/code_path.h"
#include "renderer/frame.h"
#include "renderer/plain.h"
#include "renderer/resampler.h"
#include "renderer/texture.h"

namespace {

// The per-frame parameters of frame n of the schedule.
struct FrameParams {
  double cx, cy, s;
  std::int32_t px, py;
};

FrameParams ParamsOf(std::int64_t n) {
  static const renderer::PathTable path = renderer::MakePathTable();
  const auto t = static_cast<std::uint32_t>(1000 + 750 * n);
  const renderer::JuliaParameter c = renderer::JuliaAt(path, t);
  return {c.cx, c.cy, renderer::ScaleAt(t), renderer::PanX(t, t), renderer::PanY(t, t)};
}

// The schedule repeats its pan and scale pattern slowly; 64 frames cover
// every part of the scale cycle.
constexpr int Schedule = 64;

void Texture(benchmark::State& state, bool usePlain, renderer::CodePath p) {
  if (!usePlain && !renderer::SetCodePath(p)) {
    state.SkipWithError("code path not available");
    return;
  }
  std::vector<std::uint8_t> tex(renderer::TexWidth * (renderer::TexHeight + 2));
  std::int64_t n = 0;
  for (auto _ : state) {
    const FrameParams f = ParamsOf(n++ % Schedule);
    if (usePlain)
      renderer::plain::RenderJulia(tex.data(), f.cx, f.cy, renderer::MaxIter);
    else
      renderer::RenderJulia(tex.data(), f.cx, f.cy, renderer::MaxIter);
    benchmark::DoNotOptimize(tex.data());
  }
}

// Chooses the code path and sizes the buffers to the benchmark's frame;
// false (and the benchmark skipped) when either cannot be done.
bool Prepare(benchmark::State& state, bool usePlain, renderer::CodePath p, renderer::Buffers& b) {
  if (!usePlain && !renderer::SetCodePath(p)) {
    state.SkipWithError("code path not available");
    return false;
  }
  if (renderer::Allocate(b, static_cast<std::int32_t>(state.range(0)),
                         static_cast<std::int32_t>(state.range(1))) != renderer::AllocResult::Ok) {
    state.SkipWithError("no memory");
    return false;
  }
  return true;
}

void Resample(benchmark::State& state, bool usePlain, renderer::CodePath p) {
  renderer::Buffers b;
  if (!Prepare(state, usePlain, p, b)) return;
  renderer::plain::RenderJulia(b.Texture.data(), -0.75, 0.1, renderer::MaxIter);
  std::int64_t n = 0;
  for (auto _ : state) {
    const FrameParams f = ParamsOf(n++ % Schedule);
    if (usePlain)
      renderer::plain::ZoomFrame(b, f.px, f.py, f.s);
    else
      renderer::ZoomFrame(b, f.px, f.py, f.s);
    benchmark::DoNotOptimize(b.FrameBuffer.data());
  }
}

void Frame(benchmark::State& state, bool usePlain, renderer::CodePath p) {
  renderer::Buffers b;
  if (!Prepare(state, usePlain, p, b)) return;
  const renderer::PathTable path = renderer::MakePathTable();
  std::int64_t n = 0;
  for (auto _ : state) {
    renderer::FixedClock at(static_cast<std::uint32_t>(1000 + 750 * n++));
    if (usePlain)
      renderer::plain::DrawFrame(b, path, at);
    else
      renderer::DrawFrame(b, path, at);
    benchmark::DoNotOptimize(b.FrameBuffer.data());
  }
}

void SizeArgs(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
}

int Register() {
  using Fn = void (*)(benchmark::State&, bool, renderer::CodePath);
  struct Kind {
    const char* name;
    Fn fn;
    bool sized;
  };
  for (const Kind k : {Kind{"Texture", Texture, false}, Kind{"Resample", Resample, true},
                       Kind{"Frame", Frame, true}}) {
    auto* plainBench = benchmark::RegisterBenchmark((std::string(k.name) + "/plain").c_str(), k.fn,
                                                    true, renderer::CodePath::Portable);
    if (k.sized)
      SizeArgs(plainBench);
    else
      plainBench->Unit(benchmark::kMicrosecond);
    for (renderer::CodePath p : renderer::AllCodePaths) {
      if (!renderer::CodePathAvailable(p)) continue;
      auto* b = benchmark::RegisterBenchmark(
          (std::string(k.name) + "/" + renderer::CodePathName(p)).c_str(), k.fn, false, p);
      if (k.sized)
        SizeArgs(b);
      else
        b->Unit(benchmark::kMicrosecond);
    }
  }
  return 0;
}

const int registered = Register();

}  // namespace

BENCHMARK_MAIN();
