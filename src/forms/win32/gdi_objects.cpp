#include "forms/win32/gdi_objects.h"

#include <cmath>
#include <vector>

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
  HDC screen = GetDC(nullptr);
  bitmap_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (bitmap_ == nullptr || dc_ == nullptr) {
    Reset();
    return;
  }
  old_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
}

MemoryImage::MemoryImage(const Picture& picture) : MemoryImage(picture.width, picture.height) {
  if (!valid()) return;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const Pixel p = picture.at(x, y);
      SetPixelV(dc_, x, y, RGB(p.red, p.green, p.blue));
    }
}

MemoryImage::MemoryImage(HBITMAP adopt) {
  BITMAP bm{};
  if (adopt == nullptr || GetObjectW(adopt, sizeof bm, &bm) == 0) {
    if (adopt != nullptr) DeleteObject(adopt);
    return;
  }
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) {
    DeleteObject(adopt);
    return;
  }
  bitmap_ = adopt;
  old_ = SelectObject(dc_, bitmap_);
  width_ = bm.bmWidth;
  height_ = bm.bmHeight;
}

MemoryImage& MemoryImage::operator=(MemoryImage&& o) noexcept {
  if (this != &o) {
    Reset();
    dc_ = o.dc_;
    bitmap_ = o.bitmap_;
    old_ = o.old_;
    width_ = o.width_;
    height_ = o.height_;
    o.dc_ = nullptr;
    o.bitmap_ = nullptr;
    o.old_ = nullptr;
  }
  return *this;
}

void MemoryImage::Reset() {
  if (dc_ != nullptr && old_ != nullptr) SelectObject(dc_, old_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  old_ = nullptr;
  width_ = height_ = 0;
}

Twips Twips::OfScreen() {
  HDC screen = GetDC(nullptr);
  const int dx = GetDeviceCaps(screen, LOGPIXELSX), dy = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  Twips t;
  if (dx > 0) t.perPixelX = 1440 / dx;
  if (dy > 0) t.perPixelY = 1440 / dy;
  if (t.perPixelX <= 0) t.perPixelX = 1;
  if (t.perPixelY <= 0) t.perPixelY = 1;
  return t;
}

Gdi<HFONT> MakeFont(const Font& f) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int height = -static_cast<int>(std::lround(f.size * dpi / 72.0));
  const std::wstring face = Widen(f.name);
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic;
  lf.lfUnderline = f.underline;
  lf.lfStrikeOut = f.strikethrough;
  lf.lfCharSet = static_cast<BYTE>(f.charset);
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return Gdi<HFONT>(CreateFontIndirectW(&lf));
}

}  // namespace forms
