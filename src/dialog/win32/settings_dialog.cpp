#include "dialog/win32/settings_dialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <limits>
#include <memory>
#include <string>

#include "button/win32/command.h"
#include "dialog/captions.h"
#include "dialog/gradient.h"
#include "dialog/settings_rules.h"
#include "dialog/win32/marks.h"
#include "forms/win32/form.h"

namespace dialog {
namespace {

using forms::Label;
using forms::TwipRect;

constexpr int ClientWidth = 7185, ClientHeight = 3780;

// A message over the dialog, under the program's title.
void Tell(HWND dialog, const std::wstring& message) {
  MessageBoxW(dialog, message.c_str(), forms::Widen(contract::ProgramTitle).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

// The chosen file as the settings file can keep it, in the system's ANSI
// code page: its name, else its short (8.3) name; nothing when neither fits
// (a name outside the code page on a volume without short names).
std::optional<std::string> StorablePath(const std::wstring& chosen) {
  if (auto path = forms::ExactAnsi(chosen)) return path;
  const DWORD size = GetShortPathNameW(chosen.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortPath(size, L'\0');
  const DWORD n = GetShortPathNameW(chosen.c_str(), shortPath.data(), size);
  if (n == 0 || n >= size) return std::nullopt;
  shortPath.resize(n);
  return forms::ExactAnsi(shortPath);
}

// Paints a surface's gradient into its background image, one colour a row.
void PaintGradient(forms::Container& c, Surface s) {
  HDC dc = c.Background();
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(c.Hwnd(), &client);
  const auto rows = GradientRows(s, c.ClientHeightTwips(), client.bottom, c.Scale().PerPixelY);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const forms::Rgb col = rows[y];
    const forms::Gdi<HBRUSH> brush(CreateSolidBrush(RGB(col.Red, col.Green, col.Blue)));
    const RECT line{0, static_cast<LONG>(y), client.right, static_cast<LONG>(y) + 1};
    FillRect(dc, &line, brush.get());
  }
}

class SettingsDialog {
 public:
  SettingsDialog(const music::BgmSettings& current, const music::BgmSettings& stored, HICON icon,
                 HWND owner, const SaveFunction& save)
      : bgm_(current),
        stored_(stored),
        save_(save),
        form_(captions::Title, ClientWidth, ClientHeight, icon, owner) {
    const forms::Font ui = forms::JapaneseUiFont();
    const forms::Font tahoma{"Tahoma", 8.25, 400, false, false, false, 0};

    // The panel of music settings comes first: its controls lead the focus
    // order (track combo box, "..."), then "設定", "ｷｬﾝｾﾙ", "その他の作品".
    panel_ = std::make_unique<forms::Panel>(form_, TwipRect{180, 240, 6795, 2535});
    panel_->Font = tahoma;
    panel_->Add<forms::Outline>({300, 300, 1695, 315});  // the frame around the heading
    Label& heading = panel_->Add<Label>({300, 360, 1665, 195});
    heading.Caption = captions::Heading;
    heading.Font = ui;
    heading.Centred = true;

    const int rowTop[3] = {1140, 840, 1440};  // none, audio CD, sound file
    const char* choice[3] = {captions::NoMusic, captions::AudioCd, captions::SoundFile};
    for (int i = 0; i < 3; ++i) {
      modeMarks_[i] = &panel_->Add<forms::Image>({300, rowTop[i], 195, 195});
      modeLabels_[i] = &panel_->Add<Label>({540, rowTop[i], 0, 195});
      modeLabels_[i]->Caption = choice[i];
      modeLabels_[i]->Font = ui;
      modeLabels_[i]->AutoSize(form_.Scale());
      modeMarks_[i]->OnMouseDown = [this, i](int) { ChooseMode(static_cast<std::int16_t>(i)); };
      modeLabels_[i]->OnMouseDown = [this, i](int) { ChooseMode(static_cast<std::int16_t>(i)); };
    }
    trackCombo_ =
        std::make_unique<forms::ComboBox>(*panel_, TwipRect{1380, 780, 615, 2400}, panel_->Font);
    Label& repeatCaption = panel_->Add<Label>({2040, 840, 0, 195});
    repeatCaption.Caption = captions::RepeatTrack;
    repeatCaption.Font = ui;
    repeatCaption.AutoSize(form_.Scale());
    browseButton_ = std::make_unique<button::Command>(*panel_, TwipRect{540, 1740, 435, 315},
                                                      captions::Browse, ui);
    fileLabel_ = &panel_->Add<Label>({1020, 1740, 5355, 435});
    fileLabel_->Font = ui;
    fileLabel_->Border = true;
    fileLabel_->CodePage = CP_ACP;  // a path, as the system spells it

    Label& credit = form_.Add<Label>({180, 2940, 0, 195});
    credit.Caption = captions::Credit;
    credit.Font = ui;
    credit.Colour = RGB(255, 255, 255);
    credit.AutoSize(form_.Scale());
    saveButton_ = std::make_unique<button::Command>(form_, TwipRect{4800, 3000, 1095, 375},
                                                    captions::Save, ui);
    cancelButton_ = std::make_unique<button::Command>(form_, TwipRect{5940, 3000, 1035, 375},
                                                      captions::Cancel, ui);
    otherWorksButton_ = std::make_unique<button::Command>(form_, TwipRect{2880, 3000, 1875, 375},
                                                          captions::OtherWorks, ui);

    browseButton_->OnClick = [this] { ChooseFile(); };
    saveButton_->OnClick = [this] { SaveAndClose(); };
    cancelButton_->OnClick = [this] { form_.Unload(); };
    otherWorksButton_->OnClick = [this] { OpenOtherWorks(); };

    form_.OnResize = [this] { PaintGradient(form_, Surface::Dialog); };
    panel_->OnResize = [this] { PaintGradient(*panel_, Surface::Panel); };
    panel_->Resized();
    form_.OnLoad = [this] { Load(); };
    form_.OnUnload = [this] { AnimateClose(); };
  }

  // The settings written by "設定"; nothing for any other way of closing.
  std::optional<music::BgmSettings> Show() {
    form_.ShowModal();
    return saved_;
  }

 private:
  std::array<button::Command*, 4> Buttons() {
    return {browseButton_.get(), saveButton_.get(), cancelButton_.get(), otherWorksButton_.get()};
  }

  // Before the first showing: placed, filled in, and opened from the pointer.
  void Load() {
    const forms::Twips& t = form_.Scale();
    const int screenW = t.ToTwipsX(GetSystemMetrics(SM_CXSCREEN));
    const int screenH = t.ToTwipsY(GetSystemMetrics(SM_CYSCREEN));
    form_.MoveTo((screenW - form_.WidthTwips()) / 2, (screenH - form_.HeightTwips()) / 3);
    for (button::Command* b : Buttons()) b->Initialize();
    ShowMode();
    trackCombo_->SetText(TrackText(bgm_.BgmRepeat));
    for (std::int16_t i = 0; i <= 30; ++i) trackCombo_->AddItem(TrackText(i));
    fileLabel_->Caption = bgm_.BgmFile;
    POINT p;
    if (GetCursorPos(&p)) {
      if (p.x >= std::numeric_limits<std::int16_t>::min() &&
          p.x <= std::numeric_limits<std::int16_t>::max())
        cursorX_ = static_cast<std::int16_t>(p.x);
      if (p.y >= std::numeric_limits<std::int16_t>::min() &&
          p.y <= std::numeric_limits<std::int16_t>::max())
        cursorY_ = static_cast<std::int16_t>(p.y);
    } else {
      cursorX_ = cursorY_ = 0;
    }
    AnimateOpen();
    forms::SetMousePointer(nullptr);
  }

  // Marks and enablement for the current mode.
  void ShowMode() {
    const Enablement e = EnablementFor(bgm_.BgmMode);
    for (int i = 0; i < 3; ++i) modeMarks_[i]->Show(i == e.SelectedMark ? markOn_ : markOff_);
    browseButton_->SetEnabled(e.FileButton);
    trackCombo_->Enable(e.RepeatCombo);
    panel_->Refresh();
  }

  void ChooseMode(std::int16_t mode) {
    bgm_.BgmMode = mode;
    modeChosen_ = true;
    ShowMode();
  }

  void ChooseFile() {
    const std::wstring filter = forms::Widen(captions::FilterName) + L'\0' +
                                forms::Widen(captions::FilterPattern) + L'\0' + L'\0';
    const std::wstring title = forms::Widen(captions::OpenTitle);
    std::array<wchar_t, 255> file{}, fileTitle{};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = form_.Hwnd();
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    ofn.lpstrTitle = title.c_str();
    if (GetOpenFileNameW(&ofn) <= 0) return;
    const auto path = StorablePath(file.data());
    if (!path) {  // the previous choice stays
      Tell(form_.Hwnd(), forms::Widen(captions::NameNotStorable) + L"\n" + file.data());
      return;
    }
    bgm_.BgmFile = *path;
    fileChosen_ = true;
    fileLabel_->Caption = bgm_.BgmFile;
    panel_->Refresh();
  }

  void SaveAndClose() {
    bgm_.BgmRepeat = TrackFromText(trackCombo_->Text());
    const music::BgmSettings out = SettingsToSave(bgm_, stored_, modeChosen_, fileChosen_);
    if (save_ && !save_(out, form_.Hwnd())) return;  // told; the user may cancel or try again
    saved_ = out;
    form_.Unload();
  }

  void OpenOtherWorks() {
    forms::SetMousePointer(IDC_WAIT);
    ShellExecuteA(form_.Hwnd(), "open", OtherWorksAddress, "", "", SW_SHOWNORMAL);
    forms::SetMousePointer(nullptr);
  }

  RECT CursorRect() const { return RECT{cursorX_, cursorY_, cursorX_, cursorY_}; }

  void AnimateOpen() {
    const RECT from = CursorRect();
    RECT to{};
    GetWindowRect(form_.Hwnd(), &to);
    DrawAnimatedRects(form_.Hwnd(), IDANI_CAPTION, &from, &to);
  }

  void AnimateClose() {
    RECT from{};
    GetWindowRect(form_.Hwnd(), &from);
    const RECT to = CursorRect();
    DrawAnimatedRects(form_.Hwnd(), IDANI_CAPTION, &from, &to);
  }

  music::BgmSettings bgm_;
  const music::BgmSettings stored_;
  const SaveFunction save_;
  bool modeChosen_ = false, fileChosen_ = false;
  std::optional<music::BgmSettings> saved_;
  forms::Form form_;
  std::unique_ptr<forms::Panel> panel_;
  std::array<forms::Image*, 3> modeMarks_{};
  std::array<Label*, 3> modeLabels_{};
  std::unique_ptr<forms::ComboBox> trackCombo_;
  std::unique_ptr<button::Command> browseButton_;
  Label* fileLabel_ = nullptr;
  std::unique_ptr<button::Command> saveButton_, cancelButton_, otherWorksButton_;
  // The marks of a choice that is not selected and of the selected one.
  const forms::Picture markOff_ = Mark(false), markOn_ = Mark(true);
  std::int16_t cursorX_ = 0, cursorY_ = 0;
};

}  // namespace

void TellNotSaved(HWND dialog, const std::string& iniPath) {
  Tell(dialog, forms::Widen(captions::NotSaved) + L"\n" + forms::Widen(iniPath, CP_ACP));
}

std::optional<music::BgmSettings> ShowSettingsDialog(const music::BgmSettings& current,
                                                     const music::BgmSettings& stored, HICON icon,
                                                     HWND owner, const SaveFunction& save) {
  SettingsDialog dialog(current, stored, icon, owner, save);
  return dialog.Show();
}

}  // namespace dialog
