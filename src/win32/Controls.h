// The controls of the two windows, each a small object over its child HWND.
// The window that holds them hands each its own notifications back (clicks,
// the up-down's, colours), so a control keeps its behaviour to itself.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "forms/FormDescriptions.h"
#include "forms/SpinRules.h"

namespace tolvanix::win32 {

class Control {
 public:
  Control() = default;
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The control object of a child window, or null.
  static Control* From(HWND hwnd);

  // Moves and sizes the control to a rectangle given at 96 dpi.
  virtual void Place(const tolvanix::Rect& at96, UINT dpi);
  void SetFont(HFONT font);
  std::wstring Text() const;
  void SetText(const std::wstring& text);
  // The width at 96 dpi that the control needs to show its text whole in
  // its font, on a screen of `dpi`.
  virtual int NeededWidth(UINT dpi) const;

  // Its own notifications, handed back by the window.
  virtual void OnCommand(WORD /*code*/) {}
  virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
  // A static control's colours: a brush for its background, or null for the default.
  virtual HBRUSH OnColor(HDC /*dc*/) { return nullptr; }

 protected:
  bool Create(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style,
              DWORD exStyle = 0);
  void Attach(HWND hwnd);
  HWND hwnd_ = nullptr;
};

class Button final : public Control {
 public:
  bool Create(HWND parent, const std::wstring& text, bool isDefault = false);
  void OnCommand(WORD code) override;
  // As a click of the mouse or the keyboard would.
  void Click();
  // The mark of the button Enter clicks: drawn with the heavier frame.
  void MarkDefault(bool on);
  // The button under the keyboard focus, if the focus is on one.
  static Button* Focused();
  int NeededWidth(UINT dpi) const override;  // the text and the frame around it

  std::function<void()> onClick;
};

class Label final : public Control {
 public:
  // `autoSize`: the label sizes itself to its text whenever it is placed.
  // CLR_DEFAULT: the system's window text colour, as it is when drawn.
  bool Create(HWND parent, const std::wstring& text, bool autoSize, COLORREF colour = CLR_DEFAULT);
  void Place(const tolvanix::Rect& at96, UINT dpi) override;
  HBRUSH OnColor(HDC dc) override;

 private:
  bool autoSize_ = false;
  COLORREF colour_ = 0;
};

// A lowered box, drawn by the window that holds it: decoration, with no
// window of its own that a screen reader would read out.
class Bevel {
 public:
  void Place(const tolvanix::Rect& at96, UINT dpi);
  void Paint(HDC dc) const;
  const RECT& Rect() const { return rect_; }

 private:
  RECT rect_{};
};

// The program icon at 32 x 32 pixels, scaled.
class Image final : public Control {
 public:
  bool Create(HWND parent);
  void Place(const tolvanix::Rect& at96, UINT dpi) override;

 private:
  struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
  };
  std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter> icon_;
};

// One left-aligned line, cut off at its right edge, and behind it a bar
// filling from the left with the share of a run done. The line is a static
// control, which screen readers read by its text; right below it, in the
// same place and hidden by it, lies a standard progress control (0 to 100)
// that carries the bar's value to them, named by the line as the label
// above it and by the same text of its own. The line draws the bar itself,
// so that its text stays readable across the bar's edge.
class StatusLine final : public Control {
 public:
  bool Create(HWND parent);
  void Place(const tolvanix::Rect& at96, UINT dpi) override;
  // Repaints at once, and tells screen readers of the new name.
  void Show(const std::wstring& text);
  // From 0 (no bar) to 1; a line without text shows none.
  void SetFill(double fraction);
  double Fill() const { return fill_; }
  HWND Progress() const { return progress_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
  void Paint(HDC dc);
  double fill_ = 0;
  HWND progress_ = nullptr;
};

// The piece-size field: an edit box with an up-down control inside its right
// edge. Typing is filtered key by key, with the input method kept off, and
// pasting is not; the arrows step by the field's own rules, never the
// up-down's, and have no bounds.
class SpinEdit final : public Control {
 public:
  bool Create(HWND parent, const std::wstring& text);
  void Place(const tolvanix::Rect& at96, UINT dpi) override;

  int32_t Value() const;
  void Step(int32_t delta);
  HWND UpDown() const { return upDown_; }

  // The sound of a refused key; MessageBeep(MB_OK) unless replaced.
  std::function<void()> beep;

 private:
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK ArrowProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
  bool OverPressed(LPARAM at) const;
  void Beep();

  HWND upDown_ = nullptr;
  ArrowHold hold_;
};

}  // namespace tolvanix::win32
