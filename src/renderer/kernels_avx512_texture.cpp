// The texture with AVX-512 (F, BW, VL) and BMI2. Only reached when the processor has
// them and the system saves the opmask and ZMM state.
#if defined(__i386__) || defined(__x86_64__)

#include "renderer/instruction_sets.h"
RENDERER_COMPILE_FOR(RENDERER_TARGET_AVX512)

#include <cstddef>

#include "renderer/kernels_avx512_intrinsics.h"
#include "renderer/kernels_x86.h"

namespace renderer::kernels::avx512 {
namespace {

// The texture: RenderJulia's half of it in one call (JuliaHalf; JuliaRow is
// one row of it). Where all points allow 16-bit lanes (see NarrowStart),
// three stages, 32 points a vector holding 8x and 8y:
// - the first step, from values that depend on the column or on the row
//   alone (x^2 >> 10 per column, y^2 >> 10 per row). It also bounds each row
//   to the columns that pass the first check; the others escape at once
//   (value 0);
// - DirectChecks checks on those columns, vectors of a row side by side: the
//   values of the points that escape are stored in place, 255 for the others,
//   which are queued;
// - passes of QueueChecks checks over the queue, whole vectors of points from
//   any row: the points that escape are logged (where, and their count) and
//   the others queued again. A point inside the set runs all maxIter checks;
//   in the queue no neighbour of it waits for it, idle, in the same vector.
// Points beyond 16-bit lanes take 32-bit lanes row by row (JuliaRowAny).

// One step: k counts the checks a point has passed and active holds the
// points that passed them all. A point that passes has xx + yy <= 2048, so
// |x| and |y| are at most 1448 and 16x fits a lane as well: with the sign of
// xy moved onto 16x, the product (+-16x)(8y) is 128|xy| and its high half
// |xy| div 512, which the sign turns into the quotient truncated towards zero.
inline void Step16(__m512i& x, __m512i& y, __m512i& k, __mmask32& active, __m512i cx8,
                   __m512i cy8) {
  const __m512i xx = _mm512_mulhi_epi16(x, x);
  const __m512i yy = _mm512_mulhi_epi16(y, y);
  active = _mm512_mask_cmple_epi16_mask(active, _mm512_add_epi16(xx, yy), _mm512_set1_epi16(2048));
  k = _mm512_mask_sub_epi16(k, active, k, _mm512_set1_epi16(-1));
  // A compare rather than vpmovw2m: shorter latency, and a port that the
  // shifts do not use.
  const __mmask32 negative =
      _mm512_cmplt_epi16_mask(_mm512_xor_si512(x, y), _mm512_setzero_si512());
  const __m512i x16 = _mm512_add_epi16(x, x);
  const __m512i q8 = _mm512_slli_epi16(
      _mm512_mulhi_epi16(_mm512_mask_sub_epi16(x16, negative, _mm512_setzero_si512(), x16), y), 3);
  y = _mm512_mask_sub_epi16(_mm512_add_epi16(cy8, q8), negative, cy8, q8);
  x = _mm512_add_epi16(_mm512_slli_epi16(_mm512_sub_epi16(xx, yy), 3), cx8);
}

// 8cx and 8cy, and maxIter, of one call.
struct Narrow16 {
  __m512i cx8, cy8;
  int maxIter;
};

// The first `count` of 32 bits (none for count <= 0).
inline std::uint32_t FirstBits(int count) {
  return count >= 32 ? 0xFFFFFFFFu : count <= 0 ? 0u : (1u << count) - 1;
}

#if defined(__x86_64__)
// Vectors stepped together, so that one waits for its products while others
// compute: on the rows, and in a pass over the queue.
constexpr int DirectLanes = 4;
constexpr int QueueLanes = 6;
#else
// 32-bit x86 has eight vector registers; two vectors in the queue still
// gain there.
constexpr int DirectLanes = 1;
constexpr int QueueLanes = 2;
#endif
constexpr int DirectChecks = 5;
constexpr int QueueChecks = 10;

// The columns are taken in slices of at most SliceColumns. Per column, 16-bit,
// what the first step needs of the start value x: xx = x^2 >> 10, 8xx, 16|x|
// (unsigned) and 8x; a vector's worth of padding past the last column.
constexpr int SliceColumns = 512;
struct Slice {
  alignas(64) std::int16_t xx[SliceColumns + 32];
  alignas(64) std::int16_t xx8[SliceColumns + 32];
  alignas(64) std::int16_t ax16[SliceColumns + 32];
  alignas(64) std::int16_t x8[SliceColumns + 32];
  int w;
};

void PrepareSlice(const std::int32_t* xs, int w, Slice& s) {
  s.w = w;
  for (int c = 0; c < w; c += 16) {
    const __mmask16 valid = static_cast<__mmask16>(FirstBits(w - c));
    const __m256i x8 =
        _mm512_cvtepi32_epi16(_mm512_slli_epi32(_mm512_maskz_loadu_epi32(valid, xs + c), 3));
    const __m256i xx = _mm256_mulhi_epi16(x8, x8);
    const __m256i ax8 = _mm256_abs_epi16(x8);
    _mm256_store_si256(reinterpret_cast<__m256i*>(s.x8 + c), x8);
    _mm256_store_si256(reinterpret_cast<__m256i*>(s.xx + c), xx);
    _mm256_store_si256(reinterpret_cast<__m256i*>(s.xx8 + c), _mm256_slli_epi16(xx, 3));
    _mm256_store_si256(reinterpret_cast<__m256i*>(s.ax16 + c), _mm256_add_epi16(ax8, ax8));
  }
}

// Two copies of a 16-bit value in a dword, to broadcast from memory.
inline std::int32_t Twice(std::int32_t v) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(v) & 0xFFFF) * 0x10001u);
}

// What the first step needs of a row's start value y (16-bit values twice),
// and where the row lies.
struct Row16 {
  std::int32_t limit;  // 2048 - (y^2 >> 10): the first check is xx <= limit
  std::int32_t x8;     // 8 (cx - (y^2 >> 10)): 8x after the first step is 8xx + x8
  std::int32_t ay8;    // 8|y|
  std::uint32_t negative;
  std::int32_t at;  // where the row's values go
  int lo, hi;       // the first and the last column that pass the first check
};

Row16 MakeRow(const Slice& s, std::int32_t y, std::int32_t cx, std::int32_t at) {
  const std::int32_t yy = (y * y) >> 10;
  const std::int32_t ay = y < 0 ? -y : y;
  // Where yy > 2048 no point of the row passes the first check, and 8x may
  // wrap.
  Row16 r{
      Twice(2048 - yy), Twice(8 * (cx - yy)), Twice(8 * ay), y < 0 ? 0xFFFFFFFFu : 0u, at, s.w, -1};
  const __m512i limit = _mm512_set1_epi32(r.limit);
  auto pass = [&](int c) -> std::uint32_t {
    return _mm512_mask_cmple_epi16_mask(FirstBits(s.w - c), _mm512_load_si512(s.xx + c), limit);
  };
  // From both ends: most vectors lie between.
  const int last = (s.w - 1) / 32 * 32;
  for (int c = 0; c <= last; c += 32)
    if (const std::uint32_t p = pass(c)) {
      r.lo = c + __builtin_ctz(p);
      break;
    }
  for (int c = last; c >= r.lo - 31; c -= 32)
    if (const std::uint32_t p = pass(c)) {
      r.hi = c + 31 - __builtin_clz(p);
      break;
    }
  return r;
}

// The queue: two dwords a point, 8x | 8y << 16 and at | k << 16, where at
// says where its value goes (within 65536 bytes, see JuliaBlock) and k how
// many checks it has passed. Thirty-two of them fill a vector from the pairs
// of dwords d0, d1: words 2i and 2i + 1 of the vector hold entries i and
// 16 + i, the even words from the low halves of d0 and the odd ones from d1.
// Room for the queue: whole passes read from its head while the points they
// leave running are written past its tail; a whole vector is stored past the
// last entry.
constexpr int QueueCapacity = 2048;
constexpr int QueueRoom = QueueCapacity + 32;
constexpr int QueueGroup = 32 * QueueLanes;
constexpr int LogCapacity = 1024;
constexpr int LogRoom = LogCapacity + 32;
// When a pass starts, the queue holds less than a group and one row's
// worth of vectors (with those still waiting for a group), and its head
// lies below half the capacity.
static_assert(QueueCapacity / 2 + QueueGroup + 32 * (DirectLanes - 1 + SliceColumns / 32) +
                  QueueGroup + 16 <=
              QueueRoom);

struct Queue {
  alignas(64) std::uint32_t xy[QueueRoom];
  alignas(64) std::uint32_t atk[QueueRoom];
  // at | k << 16 of the points that escaped in the queue.
  alignas(64) std::uint32_t log[LogRoom];
  int head, tail, logged;
};

constexpr __mmask32 OddWords = 0xAAAAAAAAu;
inline __m512i LowWords(__m512i d0, __m512i d1) {
  return _mm512_mask_blend_epi16(OddWords, d0, _mm512_slli_epi32(d1, 16));
}
inline __m512i HighWords(__m512i d0, __m512i d1) {
  return _mm512_mask_blend_epi16(OddWords, _mm512_srli_epi32(d0, 16), d1);
}
// Of 32 lanes, those of the entries in d0 (even words) and in d1 (odd).
inline std::uint32_t EvenLanes(std::uint32_t lanes) { return _pext_u32(lanes, 0x55555555u); }
inline std::uint32_t OddLanes(std::uint32_t lanes) { return _pext_u32(lanes, OddWords); }

// Queues the lanes `keep` of 32 points (x, y) past tail, with at | k << 16 as
// a0 and a1 hold them for the entries in d0 and d1. Positions are the
// caller's copies, which stores to the queue cannot overwrite. No branches:
// whether any lane is kept is hard to predict.
inline void Enqueue(Queue& q, int& tail, __m512i x, __m512i y, __m512i a0, __m512i a1,
                    std::uint32_t keep) {
  const __mmask16 k0 = static_cast<__mmask16>(EvenLanes(keep));
  const __mmask16 k1 = static_cast<__mmask16>(OddLanes(keep));
  const int t1 = tail + __builtin_popcount(k0);
  _mm512_storeu_si512(q.xy + tail, _mm512_maskz_compress_epi32(k0, LowWords(x, y)));
  _mm512_storeu_si512(q.atk + tail, _mm512_maskz_compress_epi32(k0, a0));
  _mm512_storeu_si512(q.xy + t1, _mm512_maskz_compress_epi32(k1, HighWords(x, y)));
  _mm512_storeu_si512(q.atk + t1, _mm512_maskz_compress_epi32(k1, a1));
  tail = t1 + __builtin_popcount(k1);
}

// Logs at | k << 16 of the lanes `escaped`, from a0 and a1 as above.
inline void Log(Queue& q, int& logged, __m512i a0, __m512i a1, std::uint32_t escaped) {
  const __mmask16 e0 = static_cast<__mmask16>(EvenLanes(escaped));
  const __mmask16 e1 = static_cast<__mmask16>(OddLanes(escaped));
  const int l1 = logged + __builtin_popcount(e0);
  _mm512_storeu_si512(q.log + logged, _mm512_maskz_compress_epi32(e0, a0));
  _mm512_storeu_si512(q.log + l1, _mm512_maskz_compress_epi32(e1, a1));
  logged = l1 + __builtin_popcount(e1);
}

// Writes the logged values, 4k (mod 256), at base + at.
inline void FlushLog(Queue& q, std::uint8_t* base) {
  const std::uint32_t* log = q.log;
  for (int i = 0, n = q.logged; i < n; ++i) {
    const std::uint32_t e = log[i];
    base[e & 0xFFFF] = static_cast<std::uint8_t>(e >> 14 & 0xFC);
  }
  q.logged = 0;
}

// A vector of 32 points of a row, from column col.
struct DirectVector {
  const Row16* row;
  int col;
};

// The first `checks` checks (DirectChecks, or maxIter when lower) of L
// vectors; the first step from the column's and the row's values. The first
// three checks often leave none running: then the rest is skipped.
template <int L>
void DirectGroup(const Slice& s, const DirectVector* v, const Narrow16& n, int checks,
                 std::uint8_t* base, Queue& q) {
  __m512i x[L], y[L], k[L];
  __mmask32 valid[L], a[L];
#pragma GCC unroll 16
  for (int l = 0; l < L; ++l) {
    const Row16& row = *v[l].row;
    const int c = v[l].col;
    valid[l] = FirstBits(row.hi + 1 - c);
    a[l] = _mm512_mask_cmple_epi16_mask(valid[l], _mm512_loadu_si512(s.xx + c),
                                        _mm512_set1_epi32(row.limit));
    x[l] = _mm512_add_epi16(_mm512_loadu_si512(s.xx8 + c), _mm512_set1_epi32(row.x8));
    const __m512i q8 = _mm512_slli_epi16(
        _mm512_mulhi_epu16(_mm512_loadu_si512(s.ax16 + c), _mm512_set1_epi32(row.ay8)), 3);
    const __mmask32 negative = _mm512_movepi16_mask(_mm512_loadu_si512(s.x8 + c)) ^ row.negative;
    y[l] = _mm512_mask_sub_epi16(_mm512_add_epi16(n.cy8, q8), negative, n.cy8, q8);
    k[l] = _mm512_maskz_mov_epi16(a[l], _mm512_set1_epi16(1));
  }
  for (int it = 1; it < checks; ++it) {
#pragma GCC unroll 16
    for (int l = 0; l < L; ++l) Step16(x[l], y[l], k[l], a[l], n.cx8, n.cy8);
    if (it == 2) {
      __mmask32 any = 0;
      for (int l = 0; l < L; ++l) any |= a[l];
      if (any == 0) break;
    }
  }
  const __m512i even = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
  int tail = q.tail;
#pragma GCC unroll 16
  for (int l = 0; l < L; ++l) {
    const std::int32_t at = v[l].row->at + v[l].col;
    _mm256_mask_storeu_epi8(base + at, valid[l],
                            _mm512_cvtepi16_epi8(_mm512_mask_blend_epi16(
                                a[l], _mm512_slli_epi16(k[l], 2), _mm512_set1_epi16(255))));
    if (checks < n.maxIter) {
      // at | k << 16 of the even and of the odd lanes; k is checks.
      const __m512i a0 = _mm512_add_epi32(_mm512_set1_epi32(at + (checks << 16)), even);
      Enqueue(q, tail, x[l], y[l], a0, _mm512_add_epi32(a0, _mm512_set1_epi32(1)), a[l]);
    }
  }
  q.tail = tail;
}

// QueueChecks more checks for up to 32 L entries from the head of the queue.
// The points still running are queued again, unless they have passed
// maxIter checks (their value stays 255).
template <int L>
void QueueGroupStep(Queue& q, const Narrow16& c, std::uint8_t* base) {
  __m512i x[L], y[L], k[L];
  std::uint32_t valid[L], a[L];
  const int h = q.head;
  const int left = q.tail - h;
#pragma GCC unroll 16
  for (int l = 0; l < L; ++l) {
    const int e = h + 32 * l;
    const __m512i d0 = _mm512_loadu_si512(q.xy + e), d1 = _mm512_loadu_si512(q.xy + e + 16);
    x[l] = LowWords(d0, d1);
    y[l] = HighWords(d0, d1);
    k[l] = HighWords(_mm512_loadu_si512(q.atk + e), _mm512_loadu_si512(q.atk + e + 16));
    valid[l] = a[l] = _pdep_u32(FirstBits(left - 32 * l), 0x55555555u) |
                      _pdep_u32(FirstBits(left - 32 * l - 16), OddWords);
  }
  q.head = h + (left < 32 * L ? left : 32 * L);
  for (int it = 0; it < QueueChecks; ++it)
#pragma GCC unroll 16
    for (int l = 0; l < L; ++l) {
      __mmask32 active = a[l];
      Step16(x[l], y[l], k[l], active, c.cx8, c.cy8);
      a[l] = active;
    }
  // The entries read stay in place while the queue grows past them.
  int tail = q.tail, logged = q.logged;
#pragma GCC unroll 16
  for (int l = 0; l < L; ++l) {
    const std::uint32_t counting =
        valid[l] & _mm512_cmplt_epi16_mask(k[l], _mm512_set1_epi16(static_cast<short>(c.maxIter)));
    const int e = h + 32 * l;
    // at as read, k as it is now.
    const __m512i a0 = LowWords(_mm512_loadu_si512(q.atk + e), k[l]);
    const __m512i a1 = _mm512_mask_blend_epi16(OddWords, _mm512_loadu_si512(q.atk + e + 16), k[l]);
    Enqueue(q, tail, x[l], y[l], a0, a1, a[l] & counting);
    Log(q, logged, a0, a1, counting & ~a[l]);
  }
  q.tail = tail;
  q.logged = logged;
  if (q.logged > LogCapacity - QueueGroup) FlushLog(q, base);
}

// Passes over the queue while it holds a whole group (all of it when
// draining), keeping its entries in the first half of the room.
void RunQueue(Queue& q, const Narrow16& c, std::uint8_t* base, bool drain) {
  while (q.tail - q.head >= QueueGroup || (drain && q.tail > q.head)) {
    // The last few entries in fewer vectors.
    const int left = q.tail - q.head;
    if (left > 64 || QueueLanes < 2)
      QueueGroupStep<QueueLanes>(q, c, base);
    else if (left > 32)
      QueueGroupStep<2>(q, c, base);
    else
      QueueGroupStep<1>(q, c, base);
    if (q.head >= QueueCapacity / 2) {
      const int n = q.tail - q.head;
      for (int i = 0; i < n; i += 16) {
        _mm512_store_si512(q.xy + i, _mm512_loadu_si512(q.xy + q.head + i));
        _mm512_store_si512(q.atk + i, _mm512_loadu_si512(q.atk + q.head + i));
      }
      q.head = 0;
      q.tail = n;
    }
  }
}

// Rows [r0, r1) of a slice: base = vals + r0 * n + c0 (c0 the slice's first
// column), and every point of the block lies within 65536 bytes of it. The
// rows' vectors go in groups of DirectLanes across rows; after each row the
// queue is passed over as far as it fills whole groups.
void JuliaBlock(const Slice& s, const std::int32_t* ys, int r0, int r1, std::int32_t cx,
                std::int32_t cy, int maxIter, std::uint8_t* base, int n, Queue& q) {
  const Narrow16 c{_mm512_set1_epi16(static_cast<short>(8 * cx)),
                   _mm512_set1_epi16(static_cast<short>(8 * cy)), maxIter};
  const int checks = maxIter < DirectChecks ? maxIter : DirectChecks;
  q.head = q.tail = q.logged = 0;
  // Vectors waiting for a group (fewer than DirectLanes) and the rows they
  // belong to, the latest rows that have any.
  Row16 rows[DirectLanes];
  DirectVector pending[DirectLanes + SliceColumns / 32];
  int waiting = 0, rowsSeen = 0;
  for (int r = r0; r < r1; ++r) {
    Row16& row = rows[rowsSeen % DirectLanes];
    row = MakeRow(s, ys[r], cx, (r - r0) * n);
    std::uint8_t* out = base + row.at;
    // Columns that fail the first check: value 0.
    const unsigned lo = row.hi < 0 ? static_cast<unsigned>(s.w) : static_cast<unsigned>(row.lo);
    std::memset(out, 0, lo);
    if (row.hi < 0) continue;
    std::memset(out + row.hi + 1, 0, static_cast<unsigned>(s.w - 1 - row.hi));
    ++rowsSeen;
    for (int col = row.lo; col <= row.hi; col += 32) pending[waiting++] = {&row, col};
    int i = 0;
    for (; i + DirectLanes <= waiting; i += DirectLanes)
      DirectGroup<DirectLanes>(s, pending + i, c, checks, base, q);
    for (int j = i; j < waiting; ++j) pending[j - i] = pending[j];
    waiting -= i;
    RunQueue(q, c, base, false);
  }
  for (int i = 0; i < waiting; ++i) DirectGroup<1>(s, pending + i, c, checks, base, q);
  RunQueue(q, c, base, true);
  FlushLog(q, base);
}

// vals[r * n + c] in 16-bit lanes: slices of columns, blocks of rows.
void JuliaRowsNarrow(const std::int32_t* xs, int n, const std::int32_t* ys, int rows,
                     std::int32_t cx, std::int32_t cy, int maxIter, std::uint8_t* vals) {
  // Lanes past the last point read padding: defined values, never used.
  Slice s{};
  Queue q{};
  for (int c0 = 0; c0 < n; c0 += SliceColumns) {
    const int w = n - c0 < SliceColumns ? n - c0 : SliceColumns;
    PrepareSlice(xs + c0, w, s);
    const int block = n >= 65536 - SliceColumns ? 1 : 1 + (65536 - SliceColumns) / n;
    for (int r = 0; r < rows; r += block)
      JuliaBlock(s, ys, r, r + block < rows ? r + block : rows, cx, cy, maxIter,
                 vals + static_cast<std::ptrdiff_t>(r) * n + c0, n, q);
  }
}

// The texture in 32-bit lanes, for any parameter: products wrap as in the
// plain version.
int JuliaRowWide(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  const __m512i vcx = _mm512_set1_epi32(cx), vcy = _mm512_set1_epi32(cy);
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    __m512i vx = _mm512_loadu_si512(xs + c), vy = _mm512_set1_epi32(y);
    __m512i va = _mm512_set1_epi32(-1), vk = _mm512_setzero_si512();
    for (int it = 0; it < maxIter && _mm512_test_epi32_mask(va, va) != 0; ++it)
      Step(vx, vy, va, vk, vcx, vcy);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(vals + c), _mm512_cvtepi32_epi8(Value(va, vk)));
  }
  return c;
}

void JuliaRowAny(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  int c = JuliaRowWide(xs, y, cx, cy, maxIter, vals, n);
  for (; c < n; ++c) vals[c] = EscapeValue(xs[c], y, cx, cy, maxIter);
}

// Whether 16-bit lanes serve all points (xs[c], ys[r]); k counts in them too.
constexpr int MaxNarrowIter = 16384;
bool Narrow(const std::int32_t* xs, int n, const std::int32_t* ys, int rows, std::int32_t cx,
            std::int32_t cy, int maxIter) {
  if (maxIter <= 0 || maxIter > MaxNarrowIter) return false;
  for (int r = 0; r < rows; ++r)
    if (!NarrowParameters(cx, cy, ys[r])) return false;
  return NarrowStarts(xs, n);
}

// The bytes of v in reverse order.
inline __m512i Reverse64(__m512i v) {
  const __m512i inLanes =
      _mm512_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7,
                      8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                      14, 15, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i r = _mm512_shuffle_epi8(v, inLanes);
  return _mm512_shuffle_i64x2(r, r, _MM_SHUFFLE(0, 1, 2, 3));
}

}  // namespace

void JuliaHalf(const std::int32_t* xs, int n, const std::int32_t* ys, int rows, std::int32_t cx,
               std::int32_t cy, int maxIter, std::uint8_t* vals, std::uint8_t* mirror) {
  if (Narrow(xs, n, ys, rows, cx, cy, maxIter))
    JuliaRowsNarrow(xs, n, ys, rows, cx, cy, maxIter, vals);
  else
    for (int r = 0; r < rows; ++r) JuliaRowAny(xs, ys[r], cx, cy, maxIter, vals + r * n, n);
  if (mirror == nullptr) return;
  const std::ptrdiff_t total = static_cast<std::ptrdiff_t>(rows) * n;
  std::ptrdiff_t i = 0;
  for (; i + 64 <= total; i += 64)
    _mm512_storeu_si512(mirror + i, Reverse64(_mm512_loadu_si512(vals + total - 64 - i)));
  for (; i < total; ++i) mirror[i] = vals[total - 1 - i];
}

}  // namespace renderer::kernels::avx512

#endif
