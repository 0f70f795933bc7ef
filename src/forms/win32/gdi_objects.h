// Small Win32 helpers for the forms: handle guards, twips, fonts and
// pictures. Texts of the forms are Shift-JIS bytes; they are converted from
// code page 932 where they are shown, so they read the same whatever the
// system's code page.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "forms/font.h"
#include "forms/picture.h"

namespace forms {

// Shift-JIS bytes as UTF-16, for the wide calls that show text.
std::wstring Widen(const std::string& sjis, UINT codePage = 932);
// A UTF-16 text in the system's ANSI code page (what the A calls take).
std::string ToAnsi(const std::wstring& text);
// The same, or nothing when a character has no place in that code page (no
// default character, no look-alike).
std::optional<std::string> ExactAnsi(const std::wstring& text);

// ---- handle guards ----

struct GdiDeleter {
  void operator()(void* h) const {
    if (h != nullptr) DeleteObject(static_cast<HGDIOBJ>(h));
  }
};
// A pen, brush, font or bitmap, deleted with the guard.
template <class H>
using Gdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;

struct DcDeleter {
  void operator()(HDC dc) const {
    if (dc != nullptr) DeleteDC(dc);
  }
};
// A memory device context, deleted with the guard.
using OwnedDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct WindowDeleter {
  void operator()(HWND w) const {
    if (w != nullptr) DestroyWindow(w);
  }
};
// A child window the forms create without a window procedure of their own.
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// GetDC/ReleaseDC of a window, or of the screen for nullptr.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint around a WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// SelectObject, undone when the guard goes.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// ---- images ----

// A memory DC with one bitmap selected into it, taken down together.
class MemoryImage {
 public:
  MemoryImage() = default;
  MemoryImage(int width, int height);  // 32-bit, zero-filled
  explicit MemoryImage(const Picture& picture);
  explicit MemoryImage(HBITMAP adopt);  // takes the bitmap over
  MemoryImage(MemoryImage&& o) noexcept;
  MemoryImage& operator=(MemoryImage&& o) noexcept;

  HDC Dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Valid() const { return dc_ != nullptr; }

 private:
  void Adopt(OwnedDc dc, Gdi<HBITMAP> bitmap, int width, int height);
  // Declared in the order of making: the selection is undone first, then
  // the bitmap and the DC are deleted.
  OwnedDc dc_;
  Gdi<HBITMAP> bitmap_;
  std::unique_ptr<Selected> selection_;
  int width_ = 0, height_ = 0;
};

// Paints a window off screen: its persistent image, then `above`, then the
// whole onto the window in one copy, so nothing drawn above ever flickers.
template <class Above>
void PaintBuffered(HWND window, const MemoryImage& image, Above above) {
  PaintDc paint(window);
  RECT r{};
  GetClientRect(window, &r);
  MemoryImage frame(r.right, r.bottom);
  if (!frame.Valid()) return;
  if (image.Valid()) BitBlt(frame.Dc(), 0, 0, r.right, r.bottom, image.Dc(), 0, 0, SRCCOPY);
  above(frame.Dc());
  BitBlt(paint.Get(), 0, 0, r.right, r.bottom, frame.Dc(), 0, 0, SRCCOPY);
}

// ---- twips and fonts ----

// Twips per pixel of the screen, from its real dots per inch.
struct Twips {
  int PerPixelX = 15, PerPixelY = 15;
  static Twips OfScreen();
  int X(int twips) const { return MulDiv(twips, 1, PerPixelX); }
  int Y(int twips) const { return MulDiv(twips, 1, PerPixelY); }
  int ToTwipsX(int px) const { return px * PerPixelX; }
  int ToTwipsY(int px) const { return px * PerPixelY; }
};

// A GDI font for a forms font at the screen's resolution.
Gdi<HFONT> MakeFont(const Font& f);

// The GDI font of a control, made again only when the forms font changed.
class FontCache {
 public:
  HFONT Realize(const Font& f);

 private:
  Gdi<HFONT> gdi_;
  Font made_;
};

}  // namespace forms
