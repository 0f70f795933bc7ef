// vorrasin_art: draws the pictures the Windows programs embed, from the
// renderer's own core, at build time.
//   vorrasin_art PREVIEW.bmp ICON.ico
// PREVIEW.bmp: the 152 x 112 still the shell shows in the preview pane (a
// frame drawn four times larger and averaged down, 24-bit colour).
// ICON.ico: the programs' icon at 48, 32 and 16 pixels (24-bit colour).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "renderer/frame.h"

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

// An image in rows from the top.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
};

// The frame at the given clock, in colour.
Image Frame(std::uint32_t clock, int width, int height) {
  renderer::Buffers buffers;
  if (renderer::Allocate(buffers, width, height) != renderer::AllocResult::Ok) return {};
  renderer::FixedClock at(clock);
  renderer::DrawFrame(buffers, renderer::MakePathTable(), at);
  const renderer::ColourTable colours = renderer::MakeColourTable();
  Image img{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const renderer::Colour& c = colours[buffers.FrameBuffer[y * buffers.Stride + x]];
      img.pixels.push_back({c.red, c.green, c.blue});
    }
  return img;
}

// Each output pixel the mean of a factor x factor block.
Image Shrink(const Image& in, int factor) {
  Image out{in.width / factor, in.height / factor, {}};
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int r = 0, g = 0, b = 0;
      for (int dy = 0; dy < factor; ++dy)
        for (int dx = 0; dx < factor; ++dx) {
          const Rgb& p = in.pixels[(y * factor + dy) * in.width + x * factor + dx];
          r += p.r, g += p.g, b += p.b;
        }
      const int n = factor * factor;
      out.pixels.push_back({static_cast<std::uint8_t>((r + n / 2) / n),
                            static_cast<std::uint8_t>((g + n / 2) / n),
                            static_cast<std::uint8_t>((b + n / 2) / n)});
    }
  return out;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int Stride24(int width) { return (width * 3 + 3) & ~3; }

// BITMAPINFOHEADER and 24-bit rows from the bottom; heightField is twice the
// height in an icon (colour rows, then the mask's).
void PutDib(std::vector<std::uint8_t>& out, const Image& img, int heightField,
            std::uint32_t extraBytes) {
  const std::uint32_t bits = static_cast<std::uint32_t>(Stride24(img.width) * img.height);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(img.width));
  Put32(out, static_cast<std::uint32_t>(heightField));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, bits + extraBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = img.height - 1; y >= 0; --y) {
    for (int x = 0; x < img.width; ++x) {
      const Rgb& p = img.pixels[y * img.width + x];
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    for (int pad = img.width * 3; pad < Stride24(img.width); ++pad) out.push_back(0);
  }
}

std::vector<std::uint8_t> Bmp(const Image& img) {
  std::vector<std::uint8_t> dib;
  PutDib(dib, img, img.height, 0);
  std::vector<std::uint8_t> out{'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(14 + dib.size()));
  Put32(out, 0);
  Put32(out, 14 + 40);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

std::vector<std::uint8_t> Ico(const std::vector<Image>& images) {
  std::vector<std::vector<std::uint8_t>> entries;
  for (const Image& img : images) {
    const int maskStride = (img.width + 31) / 32 * 4;
    const auto maskBytes = static_cast<std::uint32_t>(maskStride * img.height);
    std::vector<std::uint8_t> e;
    PutDib(e, img, img.height * 2, maskBytes);
    e.insert(e.end(), maskBytes, 0);  // every pixel opaque
    entries.push_back(std::move(e));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].width));
    out.push_back(static_cast<std::uint8_t>(images[i].height));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, static_cast<std::uint32_t>(entries[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(entries[i].size());
  }
  for (const auto& e : entries) out.insert(out.end(), e.begin(), e.end());
  return out;
}

bool Write(const char* path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorrasin_art PREVIEW.bmp ICON.ico\n");
    return 2;
  }
  const Image preview = Shrink(Frame(5000, 152 * 4, 112 * 4), 4);
  const Image square = Frame(5000, 192, 192);
  const std::vector<Image> icons = {Shrink(square, 4), Shrink(square, 6), Shrink(square, 12)};
  if (preview.pixels.empty() || square.pixels.empty() || !Write(argv[1], Bmp(preview)) ||
      !Write(argv[2], Ico(icons))) {
    std::fprintf(stderr, "vorrasin_art: cannot write the pictures\n");
    return 1;
  }
  return 0;
}
