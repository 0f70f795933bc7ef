#include "forms/win32/gdi_objects.h"

#include <cmath>
#include <utility>

namespace forms {

std::wstring Widen(const std::string& sjis, UINT codePage) {
  if (sjis.empty()) return {};
  const int size = static_cast<int>(sjis.size());
  const int n = MultiByteToWideChar(codePage, 0, sjis.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, sjis.data(), size, out.data(), n);
  return out;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::optional<std::string> ExactAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  // UTF-8 as the ANSI code page holds every character, and takes neither option.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr,
                                    utf8 ? nullptr : &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

MemoryImage::MemoryImage(int width, int height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const WindowDc screen;
  Gdi<HBITMAP> bitmap(CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  OwnedDc dc(CreateCompatibleDC(screen.Get()));
  Adopt(std::move(dc), std::move(bitmap), width, height);
}

MemoryImage::MemoryImage(const Picture& picture) : MemoryImage(picture.Width, picture.Height) {
  if (!Valid()) return;
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x) {
      const Rgb p = picture.At(x, y);
      SetPixelV(Dc(), x, y, RGB(p.Red, p.Green, p.Blue));
    }
}

MemoryImage::MemoryImage(HBITMAP adopt) {
  Gdi<HBITMAP> bitmap(adopt);
  BITMAP bm{};
  if (bitmap == nullptr || GetObjectW(bitmap.get(), sizeof bm, &bm) == 0) return;
  Adopt(OwnedDc(CreateCompatibleDC(nullptr)), std::move(bitmap), bm.bmWidth, bm.bmHeight);
}

MemoryImage::MemoryImage(MemoryImage&& o) noexcept
    : dc_(std::move(o.dc_)),
      bitmap_(std::move(o.bitmap_)),
      selection_(std::move(o.selection_)),
      width_(std::exchange(o.width_, 0)),
      height_(std::exchange(o.height_, 0)) {}

MemoryImage& MemoryImage::operator=(MemoryImage&& o) noexcept {
  if (this != &o) {
    MemoryImage old(std::move(*this));  // taken down in order as it goes
    dc_ = std::move(o.dc_);
    bitmap_ = std::move(o.bitmap_);
    selection_ = std::move(o.selection_);
    width_ = std::exchange(o.width_, 0);
    height_ = std::exchange(o.height_, 0);
  }
  return *this;
}

void MemoryImage::Adopt(OwnedDc dc, Gdi<HBITMAP> bitmap, int width, int height) {
  if (dc == nullptr || bitmap == nullptr) return;
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  selection_ = std::make_unique<Selected>(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
}

Twips Twips::OfScreen() {
  const WindowDc screen;
  const int dx = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  const int dy = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  Twips t;
  if (dx > 0) t.PerPixelX = 1440 / dx;
  if (dy > 0) t.PerPixelY = 1440 / dy;
  if (t.PerPixelX <= 0) t.PerPixelX = 1;
  if (t.PerPixelY <= 0) t.PerPixelY = 1;
  return t;
}

Gdi<HFONT> MakeFont(const Font& f) {
  const int dpi = GetDeviceCaps(WindowDc().Get(), LOGPIXELSY);
  const int height = -static_cast<int>(std::lround(f.Size * dpi / 72.0));
  const std::wstring face = Widen(f.Name);
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = f.Weight;
  lf.lfItalic = f.Italic;
  lf.lfUnderline = f.Underline;
  lf.lfStrikeOut = f.Strikethrough;
  lf.lfCharSet = static_cast<BYTE>(f.Charset);
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return Gdi<HFONT>(CreateFontIndirectW(&lf));
}

HFONT FontCache::Realize(const Font& f) {
  if (gdi_ == nullptr || !(made_ == f)) {
    gdi_ = MakeFont(f);
    made_ = f;
  }
  return gdi_.get();
}

}  // namespace forms
