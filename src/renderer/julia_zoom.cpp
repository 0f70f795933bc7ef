#include "renderer/julia_zoom.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "renderer/kernels.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace renderer {
namespace {

// Points along the lower boundary of the Mandelbrot set, from near the cusp
// to near the tip on the negative real axis.
constexpr PathPoint StoredPath[StoredPathPoints] = {
    {0.252431, -0.004417},  {0.290799, -0.013252},  {0.32691, -0.048589},   {0.358507, -0.080982},
    {0.372049, -0.128098},  {0.387847, -0.181104},  {0.410417, -0.216442},  {0.381076, -0.242945},
    {0.381076, -0.293006},  {0.410417, -0.319509},  {0.410417, -0.363681},  {0.376563, -0.38135},
    {0.35625, -0.363681},   {0.335938, -0.399018},  {0.349479, -0.425521},  {0.320139, -0.446135},
    {0.295312, -0.463804},  {0.261458, -0.490307},  {0.295312, -0.487362},  {0.329167, -0.490307},
    {0.338194, -0.51681},   {0.338194, -0.558037},  {0.313368, -0.587485},  {0.281771, -0.593374},
    {0.247917, -0.58454},   {0.234375, -0.555092},  {0.236632, -0.525644},  {0.243403, -0.513865},
    {0.214062, -0.531534},  {0.19375, -0.558037},   {0.186979, -0.57865},   {0.173437, -0.593374},
    {0.157639, -0.590429},  {0.130556, -0.590429},  {0.146354, -0.611043},  {0.137326, -0.640491},
    {0.098958, -0.640491},  {0.101215, -0.602209},  {0.071875, -0.619877},  {0.051562, -0.64638},
    {0.015451, -0.637546},  {-0.009375, -0.649325}, {-0.047743, -0.655215}, {-0.077083, -0.65227},
    {-0.099653, -0.65227},  {-0.05, -0.672883},     {-0.036458, -0.690552}, {-0.027431, -0.72589},
    {-0.013889, -0.743558}, {-0.018403, -0.78773},  {-0.029687, -0.817178}, {-0.065799, -0.831902},
    {-0.099653, -0.840736}, {-0.083854, -0.86135},  {-0.099653, -0.887853}, {-0.135764, -0.890798},
    {-0.144792, -0.867239}, {-0.135764, -0.837791}, {-0.174132, -0.840736}, {-0.189931, -0.823067},
    {-0.226042, -0.823067}, {-0.210243, -0.78773},  {-0.226042, -0.761227}, {-0.232813, -0.734724},
    {-0.223785, -0.690552}, {-0.192188, -0.669939}, {-0.180903, -0.664049}, {-0.151562, -0.64638},
    {-0.194444, -0.64638},  {-0.228299, -0.64638},  {-0.266667, -0.655215}, {-0.284722, -0.643436},
    {-0.320833, -0.625767}, {-0.341146, -0.613988}, {-0.368229, -0.640491}, {-0.377257, -0.602209},
    {-0.397569, -0.590429}, {-0.422396, -0.58454},  {-0.442708, -0.563926}, {-0.469792, -0.546258},
    {-0.463021, -0.593374}, {-0.48559, -0.613988},  {-0.530729, -0.608098}, {-0.551042, -0.572761},
    {-0.548785, -0.537423}, {-0.523958, -0.525644}, {-0.490104, -0.531534}, {-0.532986, -0.505031},
    {-0.578125, -0.487362}, {-0.600694, -0.431411}, {-0.639062, -0.44908},  {-0.659375, -0.416687},
    {-0.632292, -0.390184}, {-0.659375, -0.363681}, {-0.695486, -0.357791}, {-0.686458, -0.316564},
    {-0.684201, -0.298896}, {-0.720313, -0.290061}, {-0.706771, -0.257669}, {-0.715799, -0.24589},
    {-0.733854, -0.222331}, {-0.731597, -0.192883}, {-0.733854, -0.157546}, {-0.747396, -0.131043},
    {-0.747396, -0.095706}, {-0.742882, -0.051534}, {-0.754167, -0.027975}, {-0.763194, -0.075092},
    {-0.794792, -0.136933}, {-0.815104, -0.181104}, {-0.848958, -0.213497}, {-0.878299, -0.24},
    {-0.912153, -0.242945}, {-0.932465, -0.266503}, {-0.946007, -0.257669}, {-0.979861, -0.251779},
    {-0.991146, -0.284172}, {-1.013715, -0.284172}, {-1.013715, -0.257669}, {-1.040799, -0.24589},
    {-1.065625, -0.260613}, {-1.092708, -0.24},     {-1.10625, -0.237055},  {-1.119792, -0.266503},
    {-1.140104, -0.269448}, {-1.162674, -0.257669}, {-1.169444, -0.222331}, {-1.151389, -0.210552},
    {-1.137847, -0.207607}, {-1.173958, -0.192883}, {-1.194271, -0.169325}, {-1.196528, -0.157546},
    {-1.223611, -0.160491}, {-1.221354, -0.142822}, {-1.232639, -0.10454},  {-1.248438, -0.045644},
    {-1.248438, -0.022086}, {-1.282292, -0.057423}, {-1.318403, -0.075092}, {-1.343229, -0.069202},
    {-1.363542, -0.03681},  {-1.372569, -0.010307}, {-1.397396, -0.007362}, {-1.417708, 0.007362},
    {-1.474132, -0.013252}, {-1.54184, 0.001472},   {-1.596007, -0.001472}, {-1.656944, -0.013252},
    {-1.713368, -0.001472}, {-1.75625, -0.019141},  {-1.796875, -0.007362},
};

// 32-bit product with two's complement wrap-around.
inline std::uint32_t Mul(std::int32_t a, std::int32_t b) {
  return static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b);
}

constexpr std::int32_t Wx = TexWidth * 256;
constexpr std::int32_t Hy = TexHeight * 256;
// Where the frame starts in the texture and how far one pixel steps, in
// 1/256 texel.
struct Geometry {
  std::int32_t x0, y0, dx, dy;
};

// A negative start edge moves both edges right by whole periods.
void WrapLeft(std::int32_t& lo, std::int32_t& hi, std::int32_t period) {
  if (lo >= 0) return;
  const std::int32_t d = (1 - lo / period) * period;
  lo += d;
  hi += d;
}

Geometry FrameGeometry(const Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (s < 0.01) s = 0.01;
  if (s > 100) s = 100;
  const long double ls = s;
  std::int32_t x0 = RoundToInt((px - TexWidth * ls / 2) * 256);
  std::int32_t x1 = RoundToInt((TexWidth * ls / 2 + px) * 256);
  WrapLeft(x0, x1, Wx);
  std::int32_t y0 = RoundToInt((py - TexHeight * ls / 2) * 256);
  std::int32_t y1 = RoundToInt((TexHeight * ls / 2 + py) * 256);
  WrapLeft(y0, y1, Hy);
  // On a surface narrower than the scale, one step could cross the texture
  // more than once; stepping by the remainder lands on the same texel.
  return {x0, y0, ((x1 - x0) / b.ScreenWidth) % Wx, ((y1 - y0) / b.ScreenHeight) % Hy};
}

constexpr std::int32_t CacheLine = 64;

// Values in a working row of ZoomFrame: a frame row, or a texture row and
// a window of values past any of its columns; whole cache lines.
std::size_t RowLength(std::int32_t width) {
  const std::int32_t n = std::max(width, TexWidth + kernels::PicksWindow);
  return static_cast<std::size_t>((n + CacheLine / 2 - 1) / (CacheLine / 2) * (CacheLine / 2));
}

// Below the last image row come copies of rows 0 and 1.
void CopyWrapRows(std::uint8_t* T) { std::memcpy(T + TexWidth * TexHeight, T, 2 * TexWidth); }

}  // namespace

long double PowerOf(long double x, long double a) {
  if (x == 0.0L) return 0.0L;
  return std::exp(a * std::log(x));
}

std::int32_t RoundToInt(long double v) {
  // nearbyint follows the current rounding mode: nearest, ties to even.
  return static_cast<std::int32_t>(std::nearbyint(v));
}

ColourTable MakeColourTable() {
  ColourTable t{};
  for (int i = 0; i < 256; ++i) {
    const long double up = (i + 1) / 256.0L;
    t[i].red = static_cast<std::uint8_t>(RoundToInt(255.0L * PowerOf(up, 1.9L)));
    t[i].green = static_cast<std::uint8_t>(RoundToInt(255.0L * PowerOf(up, 0.7L)));
    t[i].blue = static_cast<std::uint8_t>(RoundToInt(127.0L * PowerOf(i / 255.0L, 1.7L) + 64.0L));
    t[i].reserved = 0;
  }
  return t;
}

PathTable MakePathTable() {
  PathTable p{};
  for (int i = 0; i < StoredPathPoints; ++i) {
    p[i] = StoredPath[i];
    p[2 * StoredPathPoints - 1 - i] = {StoredPath[i].x, -StoredPath[i].y};
  }
  return p;
}

std::int64_t RowStride(std::int32_t width) {
  return (static_cast<std::int64_t>(width) + 3) / 4 * 4;
}

JuliaParameter JuliaAt(const PathTable& path, std::uint32_t t) {
  const std::uint32_t tick = t / 25;
  const std::uint32_t seg = (tick / 20) % 300;
  const std::uint32_t frac = tick % 20;
  const long double f = frac;
  const long double g = 20 - frac;
  double cx = static_cast<double>((f * path[seg + 1].x + g * path[seg].x) * 0.05L);
  cx = static_cast<double>(0.04L * std::sin(0.0016L * tick) + cx);
  double cy = static_cast<double>((f * path[seg + 1].y + g * path[seg].y) * 0.05L);
  cy = static_cast<double>(0.03L * std::cos(0.0013L * tick) + cy);
  return {cx, cy};
}

std::int32_t PanX(std::uint32_t ta, std::uint32_t tb) {
  const long double a = std::sin(0.0005173L * static_cast<long double>(ta));
  const long double b = std::sin(0.000773L * static_cast<long double>(tb));
  return RoundToInt(((b * a + 1) * 0.3L + 0.2L) * TexWidth);
}

std::int32_t PanY(std::uint32_t ta, std::uint32_t tb) {
  const long double a = std::sin(0.0007323L * static_cast<long double>(ta));
  const long double b = std::sin(0.000573L * static_cast<long double>(tb));
  return RoundToInt(((b * a + 1) * 0.3L + 0.2L) * TexHeight);
}

double ScaleAt(std::uint32_t t) {
  const double u = static_cast<double>((t % 8000) * 0.00025L);
  constexpr long double twoPi = 6.283185307179586L;
  if (u < 1) return static_cast<double>(4 - 3 * std::cos(twoPi * u));
  return static_cast<double>((std::cos(twoPi * (u - 1)) - 1) * 0.4375L + 1);
}

namespace {

// The resampler's working memory (per-column tables and working rows) for a
// frame this wide.
void SizeWorkingMemory(Buffers& b, std::int32_t width) {
  const auto n = static_cast<std::size_t>(width);
  b.ColumnIndex.resize(n);
  b.ColumnWeights.resize(n);
  b.ColumnFraction.resize(n);
  b.ColumnShuffle.resize(n);
  const std::size_t blocks = (n + 63) / 64;
  b.ColumnPickFrom.resize(n / 16 + 1);
  b.ColumnPicks.resize(4 * 64 * blocks);
  b.PackedWeights.resize(64 * blocks);
  b.Rows.resize(kernels::GatherBatch * RowLength(width));
}

}  // namespace

AllocResult Allocate(Buffers& b, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0 || width > MaxSurfaceSide || height > MaxSurfaceSide)
    return AllocResult::BadSize;
  const std::int64_t stride = RowStride(width);
  try {
    b.FrameBuffer.assign(static_cast<std::size_t>(stride * height), 0);
    b.Texture.assign(static_cast<std::size_t>(TexWidth) * (TexHeight + 2), 0);
    // Sized once, so that no frame allocates.
    SizeWorkingMemory(b, width);
  } catch (const std::bad_alloc&) {
    b = Buffers{};
    return AllocResult::NoMemory;
  } catch (const std::length_error&) {
    b = Buffers{};
    return AllocResult::NoMemory;
  }
  b.ScreenWidth = width;
  b.ScreenHeight = height;
  b.Stride = stride;
  return AllocResult::Ok;
}

namespace plain {

void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter) {
  const std::int32_t CX = RoundToInt(cx * 1024.0L);
  const std::int32_t CY = RoundToInt(cy * 1024.0L);
  constexpr std::int32_t halfW = TexWidth / 2;
  constexpr std::int32_t halfH = TexHeight / 2;
  constexpr std::int32_t step = TexHeight < TexWidth ? 3000000 / TexHeight : 3000000 / TexWidth;
  std::uint8_t* fwd = texture;
  std::uint8_t* back = texture + TexWidth * TexHeight - 1;
  for (std::int32_t j = 0; j < halfH; ++j) {
    for (std::int32_t col = TexWidth - 1; col >= 0; --col) {
      std::int32_t y = ((j - halfH) * step) / 1024;
      std::int32_t x = ((col - halfW) * step) / 1024;
      std::uint8_t value = 255;
      for (std::int32_t k = 0; k < maxIter; ++k) {
        const std::int32_t xx = static_cast<std::int32_t>(Mul(x, x) >> 10);
        const std::int32_t yy = static_cast<std::int32_t>(Mul(y, y) >> 10);
        if (xx + yy > 2048) {
          value = static_cast<std::uint8_t>((4 * k) % 256);
          break;
        }
        y = static_cast<std::int32_t>(Mul(x, y)) / 512 + CY;
        x = xx - yy + CX;
      }
      *fwd++ = value;
      *back-- = value;
    }
  }
}

void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (b.ScreenWidth <= 0 || b.ScreenHeight <= 0) return;
  std::uint8_t* const T = b.Texture.data();
  CopyWrapRows(T);
  const Geometry g = FrameGeometry(b, px, py, s);
  std::int32_t v = g.y0 % Hy;
  for (std::int32_t row = 0; row < b.ScreenHeight; ++row) {
    std::uint8_t* out = b.FrameBuffer.data() + row * b.Stride;
    const std::int32_t fy = v & 255;
    const std::int32_t base = (v >> 8) * TexWidth;
    std::int32_t u = g.x0 % Wx;
    for (std::int32_t col = 0; col < b.ScreenWidth; ++col) {
      const std::int32_t fx = u & 255;
      const std::int32_t i = base + (u >> 8);
      out[col] = static_cast<std::uint8_t>(
          (T[i] * (256 - fx) * (256 - fy) + T[i + 1] * fx * (256 - fy) +
           T[i + TexWidth] * (256 - fx) * fy + T[i + TexWidth + 1] * fx * fy) >>
          16);
      u += g.dx;
      if (u >= Wx) u -= Wx;
    }
    v += g.dy;
    if (v >= Hy) v -= Hy;
  }
}

}  // namespace plain

// Code paths.

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

void RenderJulia(std::uint8_t* texture, double cx, double cy, int maxIter) {
  const kernels::Kernels& k = *Current().table;
  const std::int32_t CX = RoundToInt(cx * 1024.0L);
  const std::int32_t CY = RoundToInt(cy * 1024.0L);
  constexpr std::int32_t halfW = TexWidth / 2;
  constexpr std::int32_t halfH = TexHeight / 2;
  constexpr std::int32_t step = TexHeight < TexWidth ? 3000000 / TexHeight : 3000000 / TexWidth;
  std::int32_t xs[TexWidth];
  for (std::int32_t col = 0; col < TexWidth; ++col) xs[col] = ((col - halfW) * step) / 1024;
  if (k.JuliaHalf != nullptr) {
    // Row 239 - j holds row j in order: the lower half, from the middle row
    // down, is the rows of y = ((-1 - r) step) / 1024. The upper half holds
    // the same bytes in reverse order.
    std::int32_t ys[halfH];
    for (std::int32_t r = 0; r < halfH; ++r) ys[r] = ((-1 - r) * step) / 1024;
    k.JuliaHalf(xs, TexWidth, ys, halfH, CX, CY, maxIter, texture + halfH * TexWidth, texture);
    return;
  }
  std::uint8_t vals[TexWidth];
  for (std::int32_t j = 0; j < halfH; ++j) {
    k.JuliaRow(xs, ((j - halfH) * step) / 1024, CX, CY, maxIter, vals, TexWidth);
    // Row j holds the points from the last column to the first; row 239 - j
    // holds them in order (the picture turned by 180 degrees).
    std::uint8_t* upper = texture + j * TexWidth;
    static_assert(TexWidth % 8 == 0);
    for (std::int32_t col = 0; col < TexWidth; col += 8) {
      std::uint64_t eight;
      std::memcpy(&eight, vals + col, 8);
      eight = __builtin_bswap64(eight);  // the eight bytes in reverse order
      std::memcpy(upper + TexWidth - 8 - col, &eight, 8);
    }
    std::memcpy(texture + (TexHeight - 1 - j) * TexWidth, vals, TexWidth);
  }
}

namespace {

// Offsets of each column from its block's base for an in-register gather
// (see kernels::Columns).
void PlanShuffles(const std::int32_t* idx, std::uint8_t* shuffle, std::int32_t width) {
  auto within = [&](std::int32_t from, std::int32_t count, std::int32_t base) {
    for (std::int32_t j = from; j < from + count; ++j)
      if (idx[j] < base || idx[j] > base + 15) return false;
    return true;
  };
  for (std::int32_t c = 0; c + 16 <= width; c += 16) {
    if (within(c, 16, idx[c])) {
      for (std::int32_t j = 0; j < 16; ++j)
        shuffle[c + j] = static_cast<std::uint8_t>(idx[c + j] - idx[c]);
    } else if (within(c, 8, idx[c]) && within(c + 8, 8, idx[c + 8])) {
      for (std::int32_t j = 0; j < 16; ++j)
        shuffle[c + j] = static_cast<std::uint8_t>(idx[c + j] - idx[c + (j & 8)]);
      shuffle[c] = kernels::ShuffleHalves;
    } else {
      shuffle[c] = kernels::ShuffleNone;
    }
  }
}

// Whether every column of idx[0, count) has both its values within the
// window of `window` values from base. Looks at all of them, which lets the
// compiler vectorise it.
bool Fits(const std::int32_t* idx, std::int32_t count, std::int32_t base, std::int32_t window) {
  bool all = true;
  for (std::int32_t j = 0; j < count; ++j)
    all &= static_cast<std::uint32_t>(idx[j] - base) < static_cast<std::uint32_t>(window - 1);
  return all;
}

// Where each group's window starts and where each column's two values lie in
// it (see kernels::Columns). Groups share the window of their block of 64
// columns, or else of their half block, when that fits in it.
void PlanPicks(const std::int32_t* idx, std::int32_t* from, std::uint8_t* picks,
               std::int32_t width) {
  auto fits = [&](std::int32_t c, std::int32_t count, std::int32_t base) {
    return Fits(idx + c, count, base, kernels::PicksWindow);
  };
  bool blockFits = false, halfFits = false;
  for (std::int32_t c = 0; c < width; c += 16) {
    const std::int32_t count = std::min(16, width - c);
    const std::int32_t block = c - c % 64, half = c - c % 32;
    if (c == block) blockFits = block + 64 <= width && fits(block, 64, idx[block]);
    if (c == half) halfFits = half + 32 <= width && fits(half, 32, idx[half]);
    std::int32_t base = idx[c];
    if (blockFits)
      base = idx[block];
    else if (halfFits)
      base = idx[half];
    else if (!fits(c, count, base))
      base = -1;
    from[c / 16] = base;
    // Bytes 2d, 2d + 1, 2d + 2, 2d + 3 in memory order (little-endian).
    for (std::int32_t j = c; j < c + count; ++j) {
      const std::uint32_t four =
          0x03020100u + 0x02020202u * static_cast<std::uint32_t>(idx[j] - base);
      std::memcpy(picks + 4 * j, &four, 4);
    }
  }
}

// The pair rows' plan, block by block (see kernels::PairPlan).
void PlanPairs(const std::int32_t* idx, const std::uint32_t* weights, std::int32_t* from,
               std::uint8_t* picks, std::uint32_t* w, std::int32_t width) {
  for (std::int32_t b = 0; b < width; b += 64) {
    const std::int32_t count = std::min(64, width - b);
    const std::int32_t base = Fits(idx + b, count, idx[b], kernels::PairWindow) ? idx[b] : -1;
    from[b / 64] = base;
    for (std::int32_t k = 0; k < 64; ++k) {
      const std::int32_t col = b + kernels::PackedColumn(k);
      std::uint8_t* p = picks + 4 * (b + k);
      const std::int32_t i = col < width ? idx[col] : 0;
      w[b + k] = col < width ? weights[col] : 0;
      // Bytes d, 0, d + 1, 0 in memory order (little-endian).
      const auto at = static_cast<std::uint32_t>(col < width ? i - base : 0);
      const std::uint32_t four = base < 0 ? static_cast<std::uint32_t>(i) : at | (at + 1) << 16;
      std::memcpy(p, &four, 4);
    }
  }
}

// A frame by pair rows (see kernels::PairPlan): the pairs, in the working
// rows, hold two texture rows weighed along the columns; a texture row is
// weighed only when the frame reaches it.
void ZoomByPairRows(Buffers& b, const kernels::Kernels& k, const Geometry& g,
                    const std::int32_t* idx, const std::uint32_t* weights) {
  const std::int32_t width = b.ScreenWidth;
  PlanPairs(idx, weights, b.ColumnPickFrom.data(), b.ColumnPicks.data(), b.PackedWeights.data(),
            width);
  const kernels::PairPlan plan{b.ColumnPickFrom.data(), b.ColumnPicks.data(),
                               b.PackedWeights.data()};
  const std::uint8_t* const T = b.Texture.data();
  std::int16_t* const pairs = b.Rows.data();
  // Which texture row each slot of the pairs holds.
  std::int32_t held[2] = {-1, -1};
  auto hold = [&](std::int32_t r, std::int32_t keep) {
    if (held[0] == r) return 0;
    if (held[1] == r) return 1;
    const int slot = held[0] == keep ? 1 : 0;
    k.WeighRow(T + r * TexWidth, plan, pairs, slot, width);
    held[slot] = r;
    return slot;
  };
  std::int32_t v = g.y0 % Hy;
  for (std::int32_t row = 0; row < b.ScreenHeight; ++row) {
    const std::int32_t fy = v & 255;
    const std::int32_t r = v >> 8;
    const int top = hold(r, r + 1);
    hold(r + 1, r);
    const auto up = static_cast<std::uint32_t>(256 - fy), down = static_cast<std::uint32_t>(fy);
    k.BlendPairsOut(pairs, top == 0 ? up | down << 16 : down | up << 16,
                    b.FrameBuffer.data() + row * b.Stride, width);
    v += g.dy;
    if (v >= Hy) v -= Hy;
  }
}

}  // namespace

// The four-texel blend factors in two ways, both exact in integers:
// ((a(256-fy) + c fy)(256-fx) + (b(256-fy) + d fy) fx) >> 16 blends two
// texture rows into one row of 16-bit values and then gathers along it;
// ((a(256-fx) + b fx)(256-fy) + (c(256-fx) + d fx) fy) >> 16 gathers whole
// texture rows once and blends two of them per frame row. The second reuses
// its gathered rows while frame rows advance by less than a texel.
void ZoomFrame(Buffers& b, std::int32_t px, std::int32_t py, double s) {
  if (b.ScreenWidth <= 0 || b.ScreenHeight <= 0) return;
  const kernels::Kernels& k = *Current().table;
  std::uint8_t* const T = b.Texture.data();
  CopyWrapRows(T);
  const Geometry g = FrameGeometry(b, px, py, s);
  const std::int32_t width = b.ScreenWidth;

  // Per column: texel index within a row and the weights.
  SizeWorkingMemory(b, width);
  std::int32_t* const idx = b.ColumnIndex.data();
  std::uint32_t* const w = b.ColumnWeights.data();
  std::uint16_t* const fx = b.ColumnFraction.data();
  // Column c lies at (x0 + c dx) mod Wx, each on its own: below 2^32 for any
  // width we accept, as dx < Wx.
  const auto u0 = static_cast<std::uint32_t>(g.x0 % Wx), du = static_cast<std::uint32_t>(g.dx);
  for (std::int32_t col = 0; col < width; ++col) {
    const std::uint32_t u = (u0 + du * static_cast<std::uint32_t>(col)) % Wx;
    fx[col] = static_cast<std::uint16_t>(u & 255);
    idx[col] = static_cast<std::int32_t>(u >> 8);
    w[col] = (256u - (u & 255)) | (u & 255) << 16;
  }
  if (k.WeighRow != nullptr && g.dy < k.PairRowsBelowStep) {
    ZoomByPairRows(b, k, g, idx, w);
    return;
  }
  const std::size_t rowLen = RowLength(width);
  std::int16_t* const rows0 = b.Rows.data();
  std::int32_t v = g.y0 % Hy;

  const bool reuseRows = g.dy < k.ReuseRowsBelowStep;
  const int batch = reuseRows || k.GatherOutRows == nullptr ? 1 : kernels::GatherBatch;
  // Only the row gather reads the shuffles, only batches read the picks.
  if (reuseRows) PlanShuffles(idx, b.ColumnShuffle.data(), width);
  const kernels::Columns cols{idx, w, fx, b.ColumnShuffle.data()};
  if (batch > 1) PlanPicks(idx, b.ColumnPickFrom.data(), b.ColumnPicks.data(), width);
  const kernels::Columns pickCols{
      idx, w, fx, nullptr, b.ColumnPickFrom.data(), b.ColumnPicks.data()};

  // Two gathered rows, or up to GatherBatch blended texture rows (the last
  // value of each is the right neighbour of the last column: the next row's
  // first texel), each with room for a window of values read from any column,
  // each starting a cache line.
  std::int16_t* slot[2] = {rows0, rows0 + rowLen};
  std::int32_t key[2] = {-1, -1};
  // Filled with texture row r, keeping the slot that holds row `keep`.
  auto gathered = [&](std::int32_t r, std::int32_t keep) -> const std::int16_t* {
    if (key[0] == r) return slot[0];
    if (key[1] == r) return slot[1];
    const int i = key[0] == keep ? 1 : 0;
    k.GatherBytes(T + r * TexWidth, cols, slot[i], width);
    key[i] = r;
    return slot[i];
  };

  for (std::int32_t row = 0; row < b.ScreenHeight;) {
    const std::int16_t* blended[kernels::GatherBatch];
    std::uint8_t* out[kernels::GatherBatch];
    int rows = 0;
    for (; rows < batch && row < b.ScreenHeight; ++rows, ++row) {
      out[rows] = b.FrameBuffer.data() + row * b.Stride;
      const std::int32_t fy = v & 255;
      const std::int32_t r = v >> 8;
      if (reuseRows) {
        const std::int16_t* top = gathered(r, r + 1);
        const std::int16_t* bottom = gathered(r + 1, r);
        k.BlendRowsOut(top, bottom, fy, out[rows], width);
      } else {
        std::int16_t* into = rows0 + rows * rowLen;
        k.BlendBytes(T + r * TexWidth, T + (r + 1) * TexWidth, fy, into, TexWidth + 1);
        blended[rows] = into;
      }
      v += g.dy;
      if (v >= Hy) v -= Hy;
    }
    if (reuseRows) continue;
    if (batch > 1) {
      k.GatherOutRows(blended, out, rows, pickCols, width);
    } else
      k.GatherOut(blended[0], cols, out[0], width);
  }
}

namespace {

template <void (*Render)(std::uint8_t*, double, double, int),
          void (*Zoom)(Buffers&, std::int32_t, std::int32_t, double)>
void Draw(Buffers& b, const PathTable& path, Clock& clock) {
  const JuliaParameter c = JuliaAt(path, clock.Now());
  Render(b.Texture.data(), c.cx, c.cy, MaxIter);
  const std::uint32_t t1 = clock.Now();
  const std::uint32_t t2 = clock.Now();
  const std::int32_t px = PanX(t1, t2);
  const std::uint32_t t3 = clock.Now();
  const std::uint32_t t4 = clock.Now();
  const std::int32_t py = PanY(t3, t4);
  const double s = ScaleAt(clock.Now());
  Zoom(b, px, py, s);
}

}  // namespace

void DrawFrame(Buffers& b, const PathTable& path, Clock& clock) {
  Draw<RenderJulia, ZoomFrame>(b, path, clock);
}

std::uint32_t SteadyClock::Now() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

namespace plain {
void DrawFrame(Buffers& b, const PathTable& path, Clock& clock) {
  Draw<RenderJulia, ZoomFrame>(b, path, clock);
}
}  // namespace plain

}  // namespace renderer
