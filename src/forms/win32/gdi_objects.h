// Small Win32 helpers for the forms: handle ownership, twips, fonts and
// pictures. Texts of the forms are Shift-JIS bytes; they are converted from
// code page 932 where they are shown, so they read the same whatever the
// system's code page.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "forms/font.h"
#include "forms/picture.h"

namespace forms {

// Shift-JIS bytes as UTF-16, for the wide calls that show text.
std::wstring Widen(const std::string& sjis, UINT codePage = 932);
// A UTF-16 text in the system's ANSI code page (what the A calls take).
std::string ToAnsi(const std::wstring& text);

struct GdiDeleter {
  void operator()(void* h) const {
    if (h != nullptr) DeleteObject(static_cast<HGDIOBJ>(h));
  }
};
template <class H>
using Gdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;

// A memory DC with one bitmap selected into it, taken down together.
class MemoryImage {
 public:
  MemoryImage() = default;
  MemoryImage(int width, int height);  // 32-bit, zero-filled
  explicit MemoryImage(const Picture& picture);
  explicit MemoryImage(HBITMAP adopt);  // takes the bitmap over
  MemoryImage(const MemoryImage&) = delete;
  MemoryImage& operator=(const MemoryImage&) = delete;
  MemoryImage(MemoryImage&& o) noexcept { *this = std::move(o); }
  MemoryImage& operator=(MemoryImage&& o) noexcept;
  ~MemoryImage() { Reset(); }

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool valid() const { return dc_ != nullptr; }

 private:
  void Reset();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Twips per pixel of the screen, from its real dots per inch.
struct Twips {
  int perPixelX = 15, perPixelY = 15;
  static Twips OfScreen();
  int X(int twips) const { return MulDiv(twips, 1, perPixelX); }
  int Y(int twips) const { return MulDiv(twips, 1, perPixelY); }
  int ToTwipsX(int px) const { return px * perPixelX; }
  int ToTwipsY(int px) const { return px * perPixelY; }
};

// A GDI font for a forms font at the screen's resolution.
Gdi<HFONT> MakeFont(const Font& f);

}  // namespace forms
