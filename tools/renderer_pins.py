#!/usr/bin/env python3
"""Pinned values for the renderer's tests, computed from the picture's formulas written out plainly
in Python (nothing of the product is run or read):

    python3 tools/renderer_pins.py > tests/renderer/pins.inc

The product works in 80-bit extended precision for its per-frame numbers; this script works in
doubles, and in exact fractions where the resampler's edges are rounded. Every value that is
rounded to an integer is checked to lie well away from a tie, so both precisions give the same
integers; the clocks below were chosen so that they do. Takes a minute or two.
"""
import math
import sys
from fractions import Fraction

TW, TH = 320, 240
M32 = 0xFFFFFFFF

# The stored path: x,y of points 0 to 150, as listed in the design.
STORED = """
0.252431,-0.004417 0.290799,-0.013252 0.32691,-0.048589 0.358507,-0.080982 0.372049,-0.128098
0.387847,-0.181104 0.410417,-0.216442 0.381076,-0.242945 0.381076,-0.293006 0.410417,-0.319509
0.410417,-0.363681 0.376563,-0.38135 0.35625,-0.363681 0.335938,-0.399018 0.349479,-0.425521
0.320139,-0.446135 0.295312,-0.463804 0.261458,-0.490307 0.295312,-0.487362 0.329167,-0.490307
0.338194,-0.51681 0.338194,-0.558037 0.313368,-0.587485 0.281771,-0.593374 0.247917,-0.58454
0.234375,-0.555092 0.236632,-0.525644 0.243403,-0.513865 0.214062,-0.531534 0.19375,-0.558037
0.186979,-0.57865 0.173437,-0.593374 0.157639,-0.590429 0.130556,-0.590429 0.146354,-0.611043
0.137326,-0.640491 0.098958,-0.640491 0.101215,-0.602209 0.071875,-0.619877 0.051562,-0.64638
0.015451,-0.637546 -0.009375,-0.649325 -0.047743,-0.655215 -0.077083,-0.65227
-0.099653,-0.65227 -0.05,-0.672883 -0.036458,-0.690552 -0.027431,-0.72589 -0.013889,-0.743558
-0.018403,-0.78773 -0.029687,-0.817178 -0.065799,-0.831902 -0.099653,-0.840736
-0.083854,-0.86135 -0.099653,-0.887853 -0.135764,-0.890798 -0.144792,-0.867239
-0.135764,-0.837791 -0.174132,-0.840736 -0.189931,-0.823067 -0.226042,-0.823067
-0.210243,-0.78773 -0.226042,-0.761227 -0.232813,-0.734724 -0.223785,-0.690552
-0.192188,-0.669939 -0.180903,-0.664049 -0.151562,-0.64638 -0.194444,-0.64638
-0.228299,-0.64638 -0.266667,-0.655215 -0.284722,-0.643436 -0.320833,-0.625767
-0.341146,-0.613988 -0.368229,-0.640491 -0.377257,-0.602209 -0.397569,-0.590429
-0.422396,-0.58454 -0.442708,-0.563926 -0.469792,-0.546258 -0.463021,-0.593374
-0.48559,-0.613988 -0.530729,-0.608098 -0.551042,-0.572761 -0.548785,-0.537423
-0.523958,-0.525644 -0.490104,-0.531534 -0.532986,-0.505031 -0.578125,-0.487362
-0.600694,-0.431411 -0.639062,-0.44908 -0.659375,-0.416687 -0.632292,-0.390184
-0.659375,-0.363681 -0.695486,-0.357791 -0.686458,-0.316564 -0.684201,-0.298896
-0.720313,-0.290061 -0.706771,-0.257669 -0.715799,-0.24589 -0.733854,-0.222331
-0.731597,-0.192883 -0.733854,-0.157546 -0.747396,-0.131043 -0.747396,-0.095706
-0.742882,-0.051534 -0.754167,-0.027975 -0.763194,-0.075092 -0.794792,-0.136933
-0.815104,-0.181104 -0.848958,-0.213497 -0.878299,-0.24 -0.912153,-0.242945
-0.932465,-0.266503 -0.946007,-0.257669 -0.979861,-0.251779 -0.991146,-0.284172
-1.013715,-0.284172 -1.013715,-0.257669 -1.040799,-0.24589 -1.065625,-0.260613 -1.092708,-0.24
-1.10625,-0.237055 -1.119792,-0.266503 -1.140104,-0.269448 -1.162674,-0.257669
-1.169444,-0.222331 -1.151389,-0.210552 -1.137847,-0.207607 -1.173958,-0.192883
-1.194271,-0.169325 -1.196528,-0.157546 -1.223611,-0.160491 -1.221354,-0.142822
-1.232639,-0.10454 -1.248438,-0.045644 -1.248438,-0.022086 -1.282292,-0.057423
-1.318403,-0.075092 -1.343229,-0.069202 -1.363542,-0.03681 -1.372569,-0.010307
-1.397396,-0.007362 -1.417708,0.007362 -1.474132,-0.013252 -1.54184,0.001472
-1.596007,-0.001472 -1.656944,-0.013252 -1.713368,-0.001472 -1.75625,-0.019141
-1.796875,-0.007362
"""
POINTS = [tuple(map(float, p.split(","))) for p in STORED.split()]
assert len(POINTS) == 151


def path(i):  # the closed loop: the stored points, then their mirror image backwards
    return POINTS[i] if i <= 150 else (POINTS[301 - i][0], -POINTS[301 - i][1])


def rnd(v, margin):  # nearest integer, ties to even; refuses values too close to a tie
    f = Fraction(v)
    if margin and abs(abs(f - math.floor(f)) - Fraction(1, 2)) < margin:
        raise ValueError(f"{float(v)!r} is too close to a tie")
    return round(f)


def tdiv(a, b):  # signed division truncating toward zero
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b >= 0) else -q


def s32(v):
    v &= M32
    return v - (1 << 32) if v >> 31 else v


def fnv(data):  # FNV-1a, 32 bits
    h = 2166136261
    for b in data:
        h = ((h ^ b) * 16777619) & M32
    return h


def julia(t):
    tick = t // 25
    seg, frac = (tick // 20) % 300, tick % 20
    (x0, y0), (x1, y1) = path(seg), path(seg + 1)
    cx = (frac * x1 + (20 - frac) * x0) * 0.05
    cy = (frac * y1 + (20 - frac) * y0) * 0.05
    return 0.04 * math.sin(0.0016 * tick) + cx, 0.03 * math.cos(0.0013 * tick) + cy


def pan(ta, tb, k1, k2, size):
    a, b = math.sin(k1 * ta), math.sin(k2 * tb)
    return rnd(((b * a + 1) * 0.3 + 0.2) * size, 1e-7)


def pan_x(ta, tb):
    return pan(ta, tb, 0.0005173, 0.000773, TW)


def pan_y(ta, tb):
    return pan(ta, tb, 0.0007323, 0.000573, TH)


def scale(t):
    u = (t % 8000) * 0.00025
    if u < 1:
        return 4 - 3 * math.cos(6.283185307179586 * u)
    return (math.cos(6.283185307179586 * (u - 1)) - 1) * 0.4375 + 1


def escape(x, y, cx, cy, max_iter):
    for k in range(max_iter):
        xx, yy = ((x * x) & M32) >> 10, ((y * y) & M32) >> 10
        if xx + yy > 2048:
            return (4 * k) % 256
        x, y = s32(xx - yy + cx), s32(tdiv(s32(x * y), 512) + cy)
    return 255


def texture(cx, cy, max_iter):
    """320 x 240 bytes. Texel (m, r) of an upper row r is the point of column 319 - m, row r; the
    lower half is the upper half turned by 180 degrees."""
    CX, CY = rnd(Fraction(cx) * 1024, 1e-9), rnd(Fraction(cy) * 1024, 1e-9)
    step = 3000000 // TH
    upper = []
    for j in range(TH // 2):
        y = tdiv((j - TH // 2) * step, 1024)
        for m in range(TW):
            upper.append(escape(tdiv((TW - 1 - m - TW // 2) * step, 1024), y, CX, CY, max_iter))
    return upper + upper[::-1]


def frame(tex, w, h, px, py, s, margin=0):
    """w x h bytes: the texture as one periodic strip (right of the last column is the next row,
    below the last row the first), stretched so that the screen spans s texture sizes around
    texel (px, py), blended from four texels with 8-bit weights."""
    S = Fraction(min(max(s, 0.01), 100.0))
    x0, x1 = rnd((px - TW * S / 2) * 256, margin), rnd((TW * S / 2 + px) * 256, margin)
    y0, y1 = rnd((py - TH * S / 2) * 256, margin), rnd((TH * S / 2 + py) * 256, margin)
    dx, dy = tdiv(x1 - x0, w), tdiv(y1 - y0, h)
    n, out = TW * TH, bytearray()
    for row in range(h):
        v = (y0 + row * dy) % (TH * 256)
        fy, base = v & 255, (v >> 8) * TW
        for col in range(w):
            u = (x0 + col * dx) % (TW * 256)
            fx, i = u & 255, base + (u >> 8)
            out.append((tex[i % n] * (256 - fx) * (256 - fy) + tex[(i + 1) % n] * fx * (256 - fy)
                        + tex[(i + TW) % n] * (256 - fx) * fy
                        + tex[(i + TW + 1) % n] * fx * fy) >> 16)
    return out


def frame_at(t, w, h):  # every clock reading gives t
    return frame(texture(*julia(t), 64), w, h, pan_x(t, t), pan_y(t, t), scale(t), 1e-6)


def colour_table():
    out = []
    for i in range(256):
        out += [rnd(255 * ((i + 1) / 256) ** 1.9, 1e-9), rnd(255 * ((i + 1) / 256) ** 0.7, 1e-9),
                rnd(127 * (i / 255) ** 1.7 + 64, 1e-9)]
    return out


PATTERN = [(i * 7 + i // TW) & 255 for i in range(TW * TH)]
JULIA_CLOCKS = [3337, 75300, 100275, 149990, 150010, 2147483648, 4294967295]
PAN_CLOCKS = [(1000, 2500), (77777, 77780), (123456, 654321), (3000000, 5),
              (987654321, 987654399), (4294967295, 4294967000)]
SCALE_CLOCKS = [0, 1234, 2000, 3999, 5555, 6000, 7999, 98765777, 4294967295]
TEXTURES = [(-0.75, 0.1, 64), (0.28, -0.01, 64), (-0.4, -0.6, 7), (-0.12, 0.75, 100),
            (1000.0, -700000.0, 64)]
# (w, h, px, py, s) over the pattern: s = 1, tiled at 7 from the left edge, zoomed in, clamped
# both ways and just inside the largest scale, one pixel across at the largest scale, and a
# left edge that is a tie (40962.5/256).
ZOOMS = [(320, 240, 160, 120, 1.0), (161, 97, 0, 0, 7.0), (97, 61, 300, 17, 0.125),
         (33, 21, 100, 80, 0.0001), (33, 21, 100, 80, 1e9), (33, 21, 100, 80, 99.5),
         (1, 1, 64, 191, 100.0),
         (3, 300, 64, 191, 57.3), (63, 2, 160, 120, 1.00006103515625)]
FRAMES = [(0, 320, 240), (1600, 97, 61), (2000, 333, 211), (6000, 161, 97), (123456, 203, 151),
          (3500, 1, 1), (4294967295, 101, 77)]


def main():
    w = sys.stdout.write
    w("// Made by tools/renderer_pins.py from the picture's formulas written plainly in Python:\n"
      "//   python3 tools/renderer_pins.py > tests/renderer/pins.inc\n"
      "// Checksums are FNV-1a (32 bits) of the bytes; frames are their visible pixels, row by row.\n"
      "// clang-format off\n")
    w(f"constexpr std::uint32_t ColourTableFnv = {fnv(colour_table())}u;  // red, green, blue\n")
    w("// Clock; cx, cy of the Julia parameter.\n"
      "constexpr std::tuple<std::uint32_t, double, double> JuliaPins[] = {\n")
    for t in JULIA_CLOCKS:
        cx, cy = julia(t)
        rnd(Fraction(cx) * 1024, 1e-9), rnd(Fraction(cy) * 1024, 1e-9)
        w(f"    {{{t}u, {cx!r}, {cy!r}}},\n")
    w("};\n// Two clock readings; PanX and PanY of them.\n"
      "constexpr std::tuple<std::uint32_t, std::uint32_t, int, int> PanPins[] = {\n")
    for ta, tb in PAN_CLOCKS:
        w(f"    {{{ta}u, {tb}u, {pan_x(ta, tb)}, {pan_y(ta, tb)}}},\n")
    w("};\n// Clock; scale.\nconstexpr std::tuple<std::uint32_t, double> ScalePins[] = {\n")
    for t in SCALE_CLOCKS:
        w(f"    {{{t}u, {scale(t)!r}}},\n")
    w("};\n// cx, cy, maxIter; checksum of the 320 x 240 image.\n"
      "constexpr std::tuple<double, double, int, std::uint32_t> TexturePins[] = {\n")
    for cx, cy, it in TEXTURES:
        w(f"    {{{cx!r}, {cy!r}, {it}, {fnv(texture(cx, cy, it))}u}},\n")
    w("};\n// Width, height, px, py, s over the texture (i * 7 + i / 320) & 255; checksum.\n"
      "constexpr std::tuple<int, int, int, int, double, std::uint32_t> ZoomPins[] = {\n")
    for zw, zh, px, py, s in ZOOMS:
        w(f"    {{{zw}, {zh}, {px}, {py}, {s!r}, {fnv(frame(PATTERN, zw, zh, px, py, s))}u}},\n")
    w("};\n// Clock, width, height; checksum of the whole frame at that clock.\n"
      "constexpr std::tuple<std::uint32_t, int, int, std::uint32_t> FramePins[] = {\n")
    for t, fw, fh in FRAMES:
        w(f"    {{{t}u, {fw}, {fh}, {fnv(frame_at(t, fw, fh))}u}},\n")
    w("};\n")


if __name__ == "__main__":
    main()
