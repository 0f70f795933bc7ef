// zoomshot: renders the renderer's picture without a window.
//   zoomshot --clock MS --size WxH -o FILE [--texture]
//   zoomshot --bench --size WxH --frames N [--reference] [--path NAME]
// --reference times the plain scalar version instead; --path forces a code
// path (portable, sse2, avx2, avx512) for any mode.
// FILE.png gets the colours, FILE.raw the colour indices (rows top to bottom,
// no padding).
#if VORRASIN_HAVE_PNG
#include <png.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "renderer/code_path.h"
#include "renderer/frame.h"
#include "renderer/plain.h"
#include "renderer/texture.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailed = 1;

int Usage(const char* why) {
  std::fprintf(stderr,
               "zoomshot: %s\n"
               "usage: zoomshot --clock MS --size WxH -o FILE.png|FILE.raw [--texture]\n"
               "       zoomshot --bench --size WxH --frames N [--reference]\n"
               "       any of them: [--path portable|sse2|avx2|avx512]\n",
               why);
  return ExitUsage;
}

bool ParseInt64(const char* s, long long& out) {
  if (s == nullptr || *s == '\0') return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(s, &end, 10);
  return errno == 0 && *end == '\0';
}

bool ParseSize(const char* s, long long& w, long long& h) {
  if (s == nullptr) return false;
  const char* x = std::strchr(s, 'x');
  if (x == nullptr) return false;
  const std::string ws(s, x);
  return ParseInt64(ws.c_str(), w) && ParseInt64(x + 1, h);
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Rows of width bytes each, taken at the given stride.
bool WriteRaw(const std::string& path, const std::uint8_t* pixels, int width, int height,
              std::int64_t stride) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = true;
  for (int r = 0; r < height && ok; ++r)
    ok = std::fwrite(pixels + r * stride, 1, static_cast<std::size_t>(width), f) ==
         static_cast<std::size_t>(width);
  return std::fclose(f) == 0 && ok;
}

bool WritePng(const std::string& path, const std::uint8_t* pixels, int width, int height,
              std::int64_t stride, const renderer::ColourTable& colours) {
#if !VORRASIN_HAVE_PNG
  (void)path, (void)pixels, (void)width, (void)height, (void)stride, (void)colours;
  std::fprintf(stderr, "zoomshot: this build writes .raw files only\n");
  return false;
#else
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 256;
  std::vector<std::uint8_t> map(256 * 3);
  for (int i = 0; i < 256; ++i) {
    map[i * 3 + 0] = colours[i].red;
    map[i * 3 + 1] = colours[i].green;
    map[i * 3 + 2] = colours[i].blue;
  }
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels,
                                         static_cast<png_int_32>(stride), map.data());
  png_image_free(&image);
  return ok != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  bool bench = false, texture = false, haveClock = false, haveSize = false, haveFrames = false;
  bool reference = false;
  long long clock = 0, w = 0, h = 0, frames = 0;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--bench") {
      bench = true;
    } else if (a == "--reference") {
      reference = true;
    } else if (a == "--path") {
      bool known = false;
      for (renderer::CodePath p : renderer::AllCodePaths) {
        if (next == nullptr || std::strcmp(next, renderer::CodePathName(p)) != 0) continue;
        known = true;
        if (!renderer::SetCodePath(p)) {
          std::fprintf(stderr, "zoomshot: this processor cannot run the %s path\n", next);
          return ExitFailed;
        }
      }
      if (!known) return Usage("--path takes portable, sse2, avx2 or avx512");
      ++i;
    } else if (a == "--texture") {
      texture = true;
    } else if (a == "--clock") {
      if (!ParseInt64(next, clock) || clock < 0 || clock > 0xFFFFFFFFLL)
        return Usage("--clock takes milliseconds from 0 to 4294967295");
      haveClock = true;
      ++i;
    } else if (a == "--size") {
      if (!ParseSize(next, w, h)) return Usage("--size takes WIDTHxHEIGHT");
      haveSize = true;
      ++i;
    } else if (a == "--frames") {
      if (!ParseInt64(next, frames) || frames < 1)
        return Usage("--frames takes a count of 1 or more");
      haveFrames = true;
      ++i;
    } else if (a == "-o") {
      if (next == nullptr) return Usage("-o takes a file name");
      out = next;
      ++i;
    } else {
      return Usage(("unknown argument: " + a).c_str());
    }
  }

  if (reference && !bench) return Usage("--reference goes with --bench");
  if (bench ? (!haveSize || !haveFrames || texture || !out.empty() || haveClock)
            : (!haveClock || (!haveSize && !texture) || out.empty() || haveFrames))
    return Usage("missing or conflicting arguments");
  if (!bench && !EndsWith(out, ".png") && !EndsWith(out, ".raw"))
    return Usage("the output file must end in .png or .raw");

  if (!haveSize) w = h = 1;  // a texture needs no frame
  if (w <= 0 || h <= 0 || w > renderer::MaxSurfaceSide || h > renderer::MaxSurfaceSide) {
    std::fprintf(stderr, "zoomshot: size %lldx%lld: each side must be 1 to %d pixels\n", w, h,
                 renderer::MaxSurfaceSide);
    return ExitFailed;
  }
  renderer::Buffers buffers;
  if (renderer::Allocate(buffers, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)) !=
      renderer::AllocResult::Ok) {
    std::fprintf(stderr, "zoomshot: not enough memory for a %lldx%lld frame\n", w, h);
    return ExitFailed;
  }
  const renderer::PathTable path = renderer::MakePathTable();

  if (bench) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    for (long long n = 0; n < frames; ++n) {
      renderer::FixedClock at(static_cast<std::uint32_t>(1000 + 750 * n));
      if (reference)
        renderer::plain::DrawFrame(buffers, path, at);
      else
        renderer::DrawFrame(buffers, path, at);
    }
    const std::chrono::duration<double, std::milli> spent = Clock::now() - start;
    std::printf("frames %lld size %lldx%lld %s\n", frames, w, h,
                reference ? "plain" : renderer::CodePathName(renderer::ActiveCodePath()));
    std::printf("ms/frame %.4f\n", spent.count() / static_cast<double>(frames));
    return 0;
  }

  renderer::FixedClock at(static_cast<std::uint32_t>(clock));
  const std::uint8_t* pixels;
  int pw, ph;
  std::int64_t stride;
  if (texture) {
    const renderer::JuliaParameter c = renderer::JuliaAt(path, at.Now());
    renderer::RenderJulia(buffers.Texture.data(), c.cx, c.cy, renderer::MaxIter);
    pixels = buffers.Texture.data();
    pw = renderer::TexWidth;
    ph = renderer::TexHeight;
    stride = renderer::TexWidth;
  } else {
    renderer::DrawFrame(buffers, path, at);
    pixels = buffers.FrameBuffer.data();
    pw = buffers.ScreenWidth;
    ph = buffers.ScreenHeight;
    stride = buffers.Stride;
  }
  const bool ok = EndsWith(out, ".raw")
                      ? WriteRaw(out, pixels, pw, ph, stride)
                      : WritePng(out, pixels, pw, ph, stride, renderer::MakeColourTable());
  if (!ok) {
    std::fprintf(stderr, "zoomshot: cannot write %s\n", out.c_str());
    return ExitFailed;
  }
  return 0;
}
