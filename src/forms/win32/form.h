// The forms: top-level forms and panels with a persistent background image,
// windowless labels, images and outlines drawn above it, a real combo box,
// periodic timers, a modal show, and a message loop that lasts while any form
// is loaded. Positions are in twips unless a member says pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/font.h"
#include "forms/picture.h"
#include "forms/twip_rect.h"
#include "forms/win32/gdi_objects.h"
#include "forms/win32/window.h"

namespace forms {

class Timer;

// Runs the thread's messages until no form is left.
int Run();

// A control without a window of its own: its container paints it above the
// background image and passes it the mouse presses that land on it.
class Windowless {
 public:
  virtual ~Windowless() = default;
  virtual void Paint(HDC dc, const Twips& t) = 0;
  RECT PixelRect(const Twips& t) const;

  TwipRect Bounds{};
  bool Visible = true;
  // Mouse press over the control: 1 left, 2 right, 4 middle.
  std::function<void(int button)> OnMouseDown;
};

class Label : public Windowless {
 public:
  void Paint(HDC dc, const Twips& t) override;
  // Sizes the label to its caption (the width, and the height of one line).
  void AutoSize(const Twips& t);

  std::string Caption;
  UINT CodePage = 932;  // of the caption: Shift-JIS, or CP_ACP for paths
  forms::Font Font;
  COLORREF Colour = RGB(0, 0, 0);
  bool Centred = false;
  bool Border = false;

 private:
  FontCache gdiFont_;
};

class Image : public Windowless {
 public:
  void Paint(HDC dc, const Twips& t) override;
  // Shows a picture at its own size; Picture::Clear pixels stay see-through.
  void Show(const Picture& p);
  // Shows a bitmap at its own size, opaque; takes it over.
  void Show(HBITMAP bitmap);

 private:
  MemoryImage image_;
  bool opaque_ = false;
};

class Outline : public Windowless {
 public:
  void Paint(HDC dc, const Twips& t) override;
  COLORREF Colour = RGB(0, 0, 0);
};

// A window whose background is a persistent image: what is drawn into it
// stays until drawn over, and every repaint shows it with the windowless
// controls on top.
class Container : public Window {
 public:
  const Twips& Scale() const { return twips_; }
  // The background image (client size); draw into it, then Refresh.
  HDC Background() const { return background_.Dc(); }
  int ClientWidthTwips() const;
  int ClientHeightTwips() const;
  void Refresh();
  // Fits the background image to the client area and redraws it (OnResize).
  void Resized();

  template <class T>
  T& Add(TwipRect r) {
    auto c = std::make_unique<T>();
    c->Bounds = r;
    T& ref = *c;
    items_.push_back(std::move(c));
    return ref;
  }

  // Called when the window gets its size, after the background image has
  // been filled with BackColour; draw the rest of the background here.
  std::function<void()> OnResize;
  COLORREF BackColour = RGB(0xC0, 0xC0, 0xC0);

 protected:
  friend class Timer;
  Container() = default;
  // Messages common to forms and panels.
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  Twips twips_ = Twips::OfScreen();
  MemoryImage background_;
  std::vector<std::unique_ptr<Windowless>> items_;
  std::map<UINT_PTR, Timer*> timers_;
  UINT_PTR nextTimerId_ = 1;

 private:
  void Paint();
  void MouseDown(int button, POINT p);
};

// A periodic timer of a form or panel; its ticks arrive on the form's thread.
class Timer {
 public:
  Timer(Container& owner, std::uint32_t intervalMs, std::function<void()> tick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }

 private:
  friend class Container;
  Container& owner_;
  UINT_PTR id_;
  std::uint32_t interval_;
  std::function<void()> tick_;
  bool enabled_ = false;
};

// A panel: a child container (picture box) inside a form or another panel.
class Panel : public Container {
 public:
  Panel(Container& parent, TwipRect r);
  forms::Font Font;  // the font of controls placed on it that have none of their own

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A top-level form with a caption and a fixed client size.
class Form : public Container {
 public:
  // A dialog-like form with a title bar and a fixed client size, owned by
  // the owner window when one is given. The form's window exists (hidden)
  // once this returns.
  Form(const std::string& caption, int clientWidthTwips, int clientHeightTwips, HICON icon,
       HWND owner = nullptr);
  // A form of the given window style, no size yet (a pop-up by default). It
  // may stay hidden and is still found by its caption.
  explicit Form(const std::string& caption, DWORD style = WS_POPUP | WS_CLIPCHILDREN,
                COLORREF back = RGB(0, 0, 0));
  ~Form() override;

  bool Loaded() const { return hwnd_ != nullptr; }
  void Show() { ShowWindow(hwnd_, SW_SHOWNORMAL); }
  // Position and size in pixels, in the parent's client coordinates.
  void MovePixels(int left, int top, int width, int height) {
    MoveWindow(hwnd_, left, top, width, height, TRUE);
  }

  // Shows the form and runs its messages until it is unloaded. Tab and
  // shift+tab move the focus between the controls that take it. The owner
  // window is disabled meanwhile, and enabled again before the form hides.
  void ShowModal();
  // Unloads the form: OnUnload, then the window goes away.
  void Unload();
  void MoveTo(int leftTwips, int topTwips);
  int WidthTwips() const;
  int HeightTwips() const;

  std::function<void()> OnLoad;          // before the first showing
  std::function<void()> OnUnload;        // while still visible
  std::function<void()> OnCloseRequest;  // close box, Alt+F4, Escape: defaults to Unload
  // The session ends (log-off, shut-down): the process may be ended as soon
  // as this returns, so put back now what the program changed.
  std::function<void()> OnSessionEnd;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // Gives the owner back its input if the modal show took it.
  void EnableOwner();
  bool unloaded_ = false;
  bool modal_ = false;
  HWND owner_ = nullptr;
  bool ownerDisabled_ = false;
};

// A combo box with editable text and a drop-down list.
class ComboBox {
 public:
  ComboBox(Panel& parent, TwipRect r, const Font& font);
  HWND Hwnd() const { return hwnd_.get(); }
  void AddItem(const std::string& text);
  std::string Text() const;  // Shift-JIS bytes as typed are not kept: ANSI of the shown text
  void SetText(const std::string& text);
  void Enable(bool on) { EnableWindow(hwnd_.get(), on); }

 private:
  // The font outlives the window that uses it.
  Gdi<HFONT> font_;
  OwnedWindow hwnd_;
};

// The screen-wide mouse pointer: IDC_WAIT while busy, nullptr for the
// default. Windows of the forms show it in place of their own pointer.
void SetMousePointer(LPCWSTR cursor);
bool ApplyMousePointer();

}  // namespace forms
