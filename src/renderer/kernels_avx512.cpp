// The kernels with AVX-512 (F, BW, VL), built with those flags. Only reached
// when the processor has them and the system saves the opmask and ZMM state.
#if defined(__i386__) || defined(__x86_64__)

// GCC 12 warns inside its own AVX-512 headers, whose "undefined" vectors
// initialise themselves.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "renderer/kernels.h"
#include "renderer/plain_arithmetic.h"

// Every processor with AVX-512 F also has BMI2 (pdep, pext), which the
// texture uses on the opmasks.
#pragma GCC target("bmi2")

namespace renderer::kernels {
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

// Whether all of xs[0, n) lie within the narrow start range.
bool NarrowStarts(const std::int32_t* xs, int n) {
  const __m512i limit = _mm512_set1_epi32(NarrowStart);
  __mmask16 over = 0;
  int c = 0;
  for (; c + 16 <= n; c += 16)
    over |= _mm512_cmpgt_epi32_mask(_mm512_abs_epi32(_mm512_loadu_si512(xs + c)), limit);
  for (; c < n; ++c)
    if (xs[c] > NarrowStart || xs[c] < -NarrowStart) return false;
  return over == 0;
}

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
inline __m512i Div512(__m512i p) {
  return _mm512_srai_epi32(
      _mm512_add_epi32(p, _mm512_and_si512(_mm512_srai_epi32(p, 31), _mm512_set1_epi32(511))), 9);
}

inline void Step32(__m512i& x, __m512i& y, __m512i& k, __mmask16& active, __m512i cx, __m512i cy) {
  const __m512i xx = _mm512_srli_epi32(_mm512_mullo_epi32(x, x), 10);
  const __m512i yy = _mm512_srli_epi32(_mm512_mullo_epi32(y, y), 10);
  active = _mm512_mask_cmple_epi32_mask(active, _mm512_add_epi32(xx, yy), _mm512_set1_epi32(2048));
  k = _mm512_mask_sub_epi32(k, active, k, _mm512_set1_epi32(-1));
  y = _mm512_add_epi32(Div512(_mm512_mullo_epi32(x, y)), cy);
  x = _mm512_add_epi32(_mm512_sub_epi32(xx, yy), cx);
}

int JuliaRowWide(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy,
                 int maxIter, std::uint8_t* vals, int n) {
  const __m512i vcx = _mm512_set1_epi32(cx), vcy = _mm512_set1_epi32(cy);
  int c = 0;
  for (; c + 16 <= n; c += 16) {
    __m512i vx = _mm512_loadu_si512(xs + c), vy = _mm512_set1_epi32(y);
    __m512i vk = _mm512_setzero_si512();
    __mmask16 va = 0xFFFF;
    for (int it = 0; it < maxIter && va != 0; ++it) Step32(vx, vy, vk, va, vcx, vcy);
    const __m512i steps = _mm512_and_si512(_mm512_slli_epi32(vk, 2), _mm512_set1_epi32(255));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(vals + c),
        _mm512_cvtepi32_epi8(_mm512_mask_blend_epi32(va, steps, _mm512_set1_epi32(255))));
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

void JuliaRow(const std::int32_t* xs, std::int32_t y, std::int32_t cx, std::int32_t cy, int maxIter,
              std::uint8_t* vals, int n) {
  JuliaHalf(xs, n, &y, 1, cx, cy, maxIter, vals, nullptr);
}

void BlendBytesRow(const std::uint8_t* a, const std::uint8_t* b, std::int32_t fy, std::int16_t* out,
                   int n) {
  const __m512i wa = _mm512_set1_epi16(static_cast<short>(256 - fy));
  const __m512i wb = _mm512_set1_epi16(static_cast<short>(fy));
  const __m512i bias = _mm512_set1_epi16(static_cast<short>(0x8000));
  int c = 0;
  for (; c + 32 <= n; c += 32) {
    const __m512i va =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + c)));
    const __m512i vb =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + c)));
    const __m512i sum = _mm512_add_epi16(_mm512_mullo_epi16(va, wa), _mm512_mullo_epi16(vb, wb));
    _mm512_storeu_si512(out + c, _mm512_xor_si512(sum, bias));
  }
  for (; c < n; ++c) out[c] = BlendBytes(a[c], b[c], fy);
}

// The resampler. A group is 16 columns: their value pairs (v[i], v[i + 1])
// as 32-bit lanes, weighed by one vpmaddwd, give sum - SumBias (sum being
// what the plain version shifts). Pairs come from the group's window of
// PicksWindow values by one single-register permute, or from a general
// gather where the group spans more than the window. A group at the end of a
// row may be short: its tables are read under the mask m.

// The mask of a group with `left` columns still to go (all 16 if more).
inline __mmask16 GroupMask(int left) {
  return static_cast<__mmask16>(left >= 16 ? 0xFFFF : (1u << left) - 1);
}

inline __m512i GatherPairs(const std::int16_t* v, const Columns& cols, int c, __mmask16 m) {
  return _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), m,
                                     _mm512_maskz_loadu_epi32(m, cols.Idx + c), v, 2);
}

inline __m512i WeightsOf(const Columns& cols, int c, __mmask16 m) {
  return _mm512_maskz_loadu_epi32(m, cols.W + c);
}

inline __m512i PicksOf(const Columns& cols, int c, __mmask16 m) {
  return _mm512_maskz_loadu_epi32(m, cols.Picks + 4 * c);
}

// Where the window of the group from c starts; -1: gather.
inline std::int32_t PickFrom(const Columns& cols, int c) {
  return cols.Picks == nullptr ? -1 : cols.PickFrom[c / 16];
}

// Without VBMI the byte picks 2i, 2i + 1, 2i + 2, 2i + 3 become the word
// picks i, i + 1 of a word permute.
inline __m512i PairsByWords(const std::int16_t* window, __m512i picks) {
  const __m512i words = _mm512_srli_epi16(_mm512_and_si512(picks, _mm512_set1_epi16(0xFF)), 1);
  return _mm512_permutexvar_epi16(words, _mm512_loadu_si512(window));
}

inline __m512i SumsByWords(const std::int16_t* v, const Columns& cols, int c, __mmask16 m) {
  const std::int32_t from = PickFrom(cols, c);
  const __m512i pairs =
      from < 0 ? GatherPairs(v, cols, c, m) : PairsByWords(v + from, PicksOf(cols, c, m));
  return _mm512_madd_epi16(pairs, WeightsOf(cols, c, m));
}

// Sixteen finished columns: (sum + SumBias) >> 16.
inline __m128i Bytes16(__m512i s) {
  return _mm512_cvtepi32_epi8(
      _mm512_srli_epi32(_mm512_add_epi32(s, _mm512_set1_epi32(SumBias)), 16));
}

void GatherOutRows(const std::int16_t* const* v, std::uint8_t* const* out, int rows,
                   const Columns& cols, int n) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < n; c += 16) {
      const __mmask16 m = GroupMask(n - c);
      _mm_mask_storeu_epi8(out[r] + c, m, Bytes16(SumsByWords(v[r], cols, c, m)));
    }
}

void GatherOutRow(const std::int16_t* v, const Columns& cols, std::uint8_t* out, int n) {
  GatherOutRows(&v, &out, 1, cols, n);
}

// With VBMI, 64 columns at a time. Byte 2 of a biased sum is the result
// minus 128 (SumBias is 128 << 16): the high words of four groups' sums are
// packed into bytes with saturation that never bites, leaving column
// PackedColumn(k) of the block in byte k.
__attribute__((target("avx512vbmi"))) inline __m512i PackedBytes(__m512i s0, __m512i s1, __m512i s2,
                                                                 __m512i s3) {
  constexpr __mmask32 High = 0xAAAAAAAA;
  const __m512i a = _mm512_mask_blend_epi16(High, _mm512_srli_epi32(s0, 16), s1);
  const __m512i b = _mm512_mask_blend_epi16(High, _mm512_srli_epi32(s2, 16), s3);
  return _mm512_xor_si512(_mm512_packs_epi16(a, b), _mm512_set1_epi8(static_cast<char>(0x80)));
}

// Column k of groups in column order is byte PackedColumn(k) of the pack:
// one byte permute puts them in place.
struct PackOrder {
  alignas(64) std::uint8_t At[64];
};
constexpr PackOrder MakePackOrder() {
  PackOrder o{};
  for (int k = 0; k < 64; ++k) o.At[k] = static_cast<std::uint8_t>(PackedColumn(k));
  return o;
}
constexpr PackOrder PackOrderTable = MakePackOrder();

__attribute__((target("avx512vbmi"))) inline __m512i Pack64(__m512i s0, __m512i s1, __m512i s2,
                                                            __m512i s3, __m512i order) {
  return _mm512_permutexvar_epi8(order, PackedBytes(s0, s1, s2, s3));
}

__attribute__((target("avx512vbmi"))) inline __m512i SumsByBytes(const std::int16_t* v,
                                                                 const Columns& cols, int c,
                                                                 __mmask16 m) {
  const std::int32_t from = PickFrom(cols, c);
  const __m512i pairs =
      from < 0 ? GatherPairs(v, cols, c, m)
               : _mm512_permutexvar_epi8(PicksOf(cols, c, m), _mm512_loadu_si512(v + from));
  return _mm512_madd_epi16(pairs, WeightsOf(cols, c, m));
}

// One block of 64 columns whose four groups all have windows, for `rows`
// rows: weights and picks are read once for all of them, and each of the
// block's Windows windows (1: shared by all groups, 2: by each half, 4: one
// per group) once per row.
template <int Windows, int Rows>
__attribute__((target("avx512vbmi"))) inline void WindowBlock(const std::int16_t* const* in,
                                                              std::uint8_t* const* to, int rows,
                                                              const Columns& cols, int c,
                                                              const std::int32_t* from,
                                                              __m512i order) {
  // With eight vector registers (32-bit x86) weights and picks are read
  // again for every row, straight from memory into the instructions.
  constexpr bool Hoist = sizeof(void*) == 8;
  constexpr int Spread = 4 / Windows;
  __m512i w[4], picks[4];
  if constexpr (Hoist)
    for (int g = 0; g < 4; ++g)
      w[g] = WeightsOf(cols, c + 16 * g, 0xFFFF), picks[g] = PicksOf(cols, c + 16 * g, 0xFFFF);
  const int count = Rows > 0 ? Rows : rows;
  for (int r = 0; r < count; ++r) {
    __m512i s[4], window;
    for (int g = 0; g < 4; ++g) {
      if (g % Spread == 0) window = _mm512_loadu_si512(in[r] + from[g]);
      s[g] = _mm512_madd_epi16(
          _mm512_permutexvar_epi8(Hoist ? picks[g] : PicksOf(cols, c + 16 * g, 0xFFFF), window),
          Hoist ? w[g] : WeightsOf(cols, c + 16 * g, 0xFFFF));
    }
    _mm512_storeu_si512(to[r] + c, Pack64(s[0], s[1], s[2], s[3], order));
  }
}

template <int Windows>
__attribute__((target("avx512vbmi"))) inline void WindowBlockRows(const std::int16_t* const* in,
                                                                  std::uint8_t* const* to, int rows,
                                                                  const Columns& cols, int c,
                                                                  const std::int32_t* from,
                                                                  __m512i order) {
  if (rows == GatherBatch)
    WindowBlock<Windows, GatherBatch>(in, to, rows, cols, c, from, order);
  else
    WindowBlock<Windows, 0>(in, to, rows, cols, c, from, order);
}

// Blocks of 64 columns; a last, shorter block goes group by group under
// masks.
__attribute__((target("avx512vbmi"))) void GatherOutVbmiRows(const std::int16_t* const* v,
                                                             std::uint8_t* const* out, int rows,
                                                             const Columns& cols, int n) {
  const __m512i order = _mm512_load_si512(PackOrderTable.At);
  // Local copies: stores to the frame could otherwise alias them.
  const std::int16_t* in[GatherBatch];
  std::uint8_t* to[GatherBatch];
  for (int r = 0; r < rows; ++r) in[r] = v[r], to[r] = out[r];
  int c = 0;
  for (; c + 64 <= n; c += 64) {
    std::int32_t from[4];
    for (int g = 0; g < 4; ++g) from[g] = PickFrom(cols, c + 16 * g);
    const bool windows = from[0] >= 0 && from[1] >= 0 && from[2] >= 0 && from[3] >= 0;
    const bool halves = windows && from[1] == from[0] && from[3] == from[2];
    if (halves && from[2] == from[0])
      WindowBlockRows<1>(in, to, rows, cols, c, from, order);
    else if (halves)
      WindowBlockRows<2>(in, to, rows, cols, c, from, order);
    else if (windows)
      WindowBlockRows<4>(in, to, rows, cols, c, from, order);
    else
      for (int r = 0; r < rows; ++r) {
        __m512i s[4];
        for (int g = 0; g < 4; ++g) s[g] = SumsByBytes(in[r], cols, c + 16 * g, 0xFFFF);
        _mm512_storeu_si512(to[r] + c, Pack64(s[0], s[1], s[2], s[3], order));
      }
  }
  if (c == n) return;
  const __mmask64 last = (std::uint64_t{1} << (n - c)) - 1;
  for (int r = 0; r < rows; ++r) {
    __m512i s[4];
    for (int g = 0; g < 4; ++g) {
      const int left = n - c - 16 * g;
      s[g] = left <= 0 ? _mm512_setzero_si512()
                       : SumsByBytes(in[r], cols, c + 16 * g, GroupMask(left));
    }
    _mm512_mask_storeu_epi8(to[r] + c, last, Pack64(s[0], s[1], s[2], s[3], order));
  }
}

__attribute__((target("avx512vbmi"))) void GatherOutVbmiRow(const std::int16_t* v,
                                                            const Columns& cols, std::uint8_t* out,
                                                            int n) {
  GatherOutVbmiRows(&v, &out, 1, cols, n);
}

// Pair rows. A block's 64 positions are weighed group by group: bytes i
// and i + 1 picked from the window into zero-extended words, or gathered.
__attribute__((target("avx512vbmi"))) void WeighPairRow(const std::uint8_t* t, const PairPlan& plan,
                                                        std::int16_t* pairs, int slot, int n) {
  const __m512i bias = _mm512_set1_epi32(RowBias);
  const __m512i low = _mm512_set1_epi32(0xFF);
  const __mmask32 into = slot == 0 ? 0x55555555 : 0xAAAAAAAA;
  for (int b = 0; b < n; b += 64) {
    const std::int32_t from = plan.From[b / 64];
    const __m512i window = from < 0 ? _mm512_setzero_si512() : _mm512_loadu_si512(t + from);
    for (int k = b; k < b + 64; k += 16) {
      const __m512i picks = _mm512_loadu_si512(plan.Picks + 4 * k);
      __m512i values;
      if (from >= 0) {
        values = _mm512_maskz_permutexvar_epi8(0x5555555555555555ull, picks, window);
      } else {
        const __m512i four = _mm512_i32gather_epi32(picks, t, 1);
        values = _mm512_or_si512(
            _mm512_and_si512(four, low),
            _mm512_slli_epi32(_mm512_and_si512(four, _mm512_slli_epi32(low, 8)), 8));
      }
      const __m512i h =
          _mm512_sub_epi32(_mm512_madd_epi16(values, _mm512_loadu_si512(plan.W + k)), bias);
      _mm512_mask_storeu_epi16(pairs + 2 * k, into, slot == 0 ? h : _mm512_slli_epi32(h, 16));
    }
  }
}

__attribute__((target("avx512vbmi"))) void BlendPairsOut(const std::int16_t* pairs, std::uint32_t w,
                                                         std::uint8_t* out, int n) {
  const __m512i weights = _mm512_set1_epi32(static_cast<int>(w));
  auto sums = [&](int k) { return _mm512_madd_epi16(_mm512_load_si512(pairs + 2 * k), weights); };
  int b = 0;
  for (; b + 64 <= n; b += 64)
    _mm512_storeu_si512(out + b, PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
  if (b < n)
    _mm512_mask_storeu_epi8(out + b, (std::uint64_t{1} << (n - b)) - 1,
                            PackedBytes(sums(b), sums(b + 16), sums(b + 32), sums(b + 48)));
}

}  // namespace

// One permute per sixteen columns costs less than blending two gathered
// rows, in both builds: always blend two texture rows and pick along the
// result (the AVX2 row gather and blend stay in the tables for completeness).
constexpr std::int32_t ReuseRowsBelowStep = 0;
// Below a quarter texel per frame row the pair rows win (measured).
constexpr std::int32_t PairRowsBelowStep = 64;

const Kernels& Avx512() {
  static const Kernels table = {ReuseRowsBelowStep,
                                JuliaRow,
                                BlendBytesRow,
                                Avx2().GatherBytes,
                                Avx2().BlendRowsOut,
                                GatherOutRow,
                                GatherOutRows,
                                0,
                                nullptr,
                                nullptr,
                                JuliaHalf};
  return table;
}

const Kernels& Avx512Vbmi() {
  static const Kernels table = {
      ReuseRowsBelowStep,  JuliaRow,         BlendBytesRow,     Avx2().GatherBytes,
      Avx2().BlendRowsOut, GatherOutVbmiRow, GatherOutVbmiRows, PairRowsBelowStep,
      WeighPairRow,        BlendPairsOut,    JuliaHalf};
  return table;
}

}  // namespace renderer::kernels

#endif
