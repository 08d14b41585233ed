#include "win32/Controls.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "win32/Cursor.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

namespace {

constexpr wchar_t kControlProp[] = L"TolvanixControl";
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kRepeatTimer = 0x7A11;

// The arrow column inside the field's border, at 96 dpi: 15 wide, one pixel
// short of the right edge, from the top to 5 pixels above the field's bottom;
// the text ends 2 pixels left of it.
constexpr int kBorder = 2;
constexpr int kArrowWidth = 15;

}  // namespace

Control* Control::From(HWND hwnd) {
  return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

bool Control::Create(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style,
                     DWORD exStyle) {
  const HWND hwnd =
      CreateWindowExW(exStyle, cls, text.c_str(), style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                      0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  return true;
}

void Control::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kControlProp, this);
}

void Control::Place(const tolvanix::Rect& r, UINT dpi) {
  MoveWindow(hwnd_, Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.width, dpi),
             Scale(r.height, dpi), TRUE);
}

void Control::SetFont(HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

std::wstring Control::Text() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Control::SetText(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }

int Control::NeededWidth(UINT dpi) const {
  const HDC dc = GetDC(hwnd_);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  const std::wstring text = Text();
  RECT size{0, 0, 0, 0};
  // A button's "&" marks its access key and takes no room; a label shows it.
  const UINT prefix = dynamic_cast<const Button*>(this) ? 0 : DT_NOPREFIX;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size,
            DT_CALCRECT | DT_SINGLELINE | prefix);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return MulDiv(size.right, 96, static_cast<int>(dpi)) + 1;  // never a pixel short
}

bool Button::Create(HWND parent, const std::wstring& text, bool isDefault) {
  // BS_NOTIFY: the focus changes come as notifications.
  return Control::Create(parent, L"BUTTON", text,
                         WS_TABSTOP | BS_NOTIFY | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void Button::OnCommand(WORD code) {
  // The focused button is the one Enter clicks, and looks it.
  if (code == BN_SETFOCUS || code == BN_KILLFOCUS) MarkDefault(code == BN_SETFOCUS);
  if (code == BN_CLICKED && onClick) onClick();
}

void Button::Click() { SendMessageW(hwnd_, BM_CLICK, 0, 0); }

Button* Button::Focused() { return dynamic_cast<Button*>(Control::From(GetFocus())); }

int Button::NeededWidth(UINT dpi) const { return Control::NeededWidth(dpi) + 16; }

void Button::MarkDefault(bool on) {
  SendMessageW(hwnd_, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool Label::Create(HWND parent, const std::wstring& text, bool autoSize, COLORREF colour) {
  autoSize_ = autoSize;
  colour_ = colour;
  return Control::Create(parent, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
}

void Label::Place(const tolvanix::Rect& r, UINT dpi) {
  if (!autoSize_) return Control::Place(r, dpi);
  const HDC dc = GetDC(hwnd_);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  const std::wstring text = Text();
  RECT size{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  MoveWindow(hwnd_, Scale(r.left, dpi), Scale(r.top, dpi), size.right, size.bottom, TRUE);
}

HBRUSH Label::OnColor(HDC dc) {
  SetTextColor(dc, colour_ == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : colour_);
  SetBkMode(dc, TRANSPARENT);
  return GetSysColorBrush(COLOR_BTNFACE);
}

void Bevel::Place(const tolvanix::Rect& r, UINT dpi) {
  rect_ = {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.left + r.width, dpi),
           Scale(r.top + r.height, dpi)};
}

void Bevel::Paint(HDC dc) const {
  RECT edge = rect_;
  DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
}

bool Image::Create(HWND parent) {
  return Control::Create(parent, L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL);
}

void Image::Place(const tolvanix::Rect& r, UINT dpi) {
  Control::Place(r, dpi);
  const int size = Scale(r.width, dpi);
  icon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
  SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  Control::Place(r, dpi);  // the icon resized the control to its own size
}

bool StatusLine::Create(HWND parent) {
  if (!Control::Create(parent, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX)) return false;
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                              0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!progress_) return false;
  SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
  SetWindowSubclass(hwnd_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(progress_, Proc, kSubclassId, 0);
  return true;
}

void StatusLine::Place(const tolvanix::Rect& r, UINT dpi) {
  Control::Place(r, dpi);
  RECT at;
  GetWindowRect(hwnd_, &at);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&at), 2);
  MoveWindow(progress_, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
}

void StatusLine::Show(const std::wstring& text) {
  SetText(text);
  SetWindowTextW(progress_, text.c_str());
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void StatusLine::SetFill(double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (fraction == fill_) return;
  fill_ = fraction;
  InvalidateRect(hwnd_, nullptr, TRUE);
  const auto percent = static_cast<WPARAM>(std::lround(fraction * 100));
  // The answer is the position before.
  if (SendMessageW(progress_, PBM_SETPOS, percent, 0) != static_cast<LRESULT>(percent))
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, progress_, OBJID_CLIENT, CHILDID_SELF);
}

void StatusLine::Paint(HDC dc) {
  RECT all;
  GetClientRect(hwnd_, &all);
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = Text();
  const int filled = text.empty() ? 0 : static_cast<int>(fill_ * all.right + 0.5);
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  // The text keeps its colour over the empty part and takes the highlight's
  // text colour over the bar, so it stays readable across the edge.
  const auto draw = [&](RECT clip, int colour) {
    if (clip.left >= clip.right) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetTextColor(dc, GetSysColor(colour));
    RECT box = all;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
  };
  RECT bar{0, 0, filled, all.bottom};
  if (filled > 0) FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
  draw(bar, COLOR_HIGHLIGHTTEXT);
  draw({filled, 0, all.right, all.bottom}, COLOR_WINDOWTEXT);
  SelectObject(dc, old);
}

LRESULT CALLBACK StatusLine::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  auto* self = reinterpret_cast<StatusLine*>(data);  // null for the progress control
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
      if (!self) break;
      PAINTSTRUCT ps;
      self->Paint(BeginPaint(hwnd, &ps));
      EndPaint(hwnd, &ps);
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the window's pointer, drops and clicks
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Proc, kSubclassId);
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool SpinEdit::Create(HWND parent, const std::wstring& text) {
  if (!Control::Create(parent, L"EDIT", text, WS_TABSTOP | WS_CLIPCHILDREN | ES_AUTOHSCROLL,
                       WS_EX_CLIENTEDGE)) {
    return false;
  }
  // No buddy and no range of its own: the field steps its text itself.
  upDown_ = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!upDown_) return false;
  // No input method in the field: a Japanese user typing 1024 with it on
  // gets 1024, and nothing composed gets past the filter.
  ImmAssociateContextEx(hwnd_, nullptr, 0);
  SetWindowSubclass(hwnd_, EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(upDown_, ArrowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void SpinEdit::Place(const tolvanix::Rect& r, UINT dpi) {
  Control::Place(r, dpi);
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = Scale(kArrowWidth, dpi);
  const int height = Scale(r.height - 5, dpi);
  const int x = client.right - Scale(1, dpi) - width;
  MoveWindow(upDown_, x, 0, width, std::min<int>(height, client.bottom), TRUE);
  SendMessageW(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN,
               MAKELPARAM(0, client.right - x + Scale(kBorder, dpi)));
}

int32_t SpinEdit::Value() const {
  const std::wstring text = Text();
  return ReadSpinValue(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

void SpinEdit::Step(int32_t delta) {
  const std::wstring text = Text();
  const std::u16string stepped = SteppedText(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), delta);
  SetText(std::wstring(stepped.begin(), stepped.end()));
}

void SpinEdit::Beep() {
  if (beep) {
    beep();
  } else {
    MessageBeep(MB_OK);
  }
}

bool SpinEdit::OverPressed(LPARAM at) const {
  RECT r;
  GetClientRect(upDown_, &r);
  const POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  // The upper button takes the upper half.
  const LONG middle = r.bottom / 2;
  if (hold_.Up())
    r.bottom = middle;
  else
    r.top = middle;
  return PtInRect(&r, p);
}

LRESULT CALLBACK SpinEdit::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
  auto* self = reinterpret_cast<SpinEdit*>(data);
  switch (msg) {
    case WM_CHAR: {
      wchar_t separator[8] = L"";
      GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
      if (!AcceptsTypedChar(static_cast<char16_t>(wParam),
                            DecimalSeparator(reinterpret_cast<const char16_t*>(separator)))) {
        self->Beep();
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        self->Step(wParam == VK_UP ? kSpinIncrement : -kSpinIncrement);
        return 0;
      }
      break;
    case WM_NOTIFY:
      // The up-down's own steps are refused: the field makes its own.
      if (reinterpret_cast<const NMHDR*>(lParam)->code == UDN_DELTAPOS) return TRUE;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, EditProc, kSubclassId);
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SpinEdit::ArrowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
  auto* self = reinterpret_cast<SpinEdit*>(data);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A press moves the focus to the text box, which then selects its
      // whole text as any entry but a click into it does.
      if (GetFocus() != self->hwnd_) {
        SetFocus(self->hwnd_);
        SendMessageW(self->hwnd_, EM_SETSEL, 0, -1);
      }
      RECT r;
      GetClientRect(hwnd, &r);
      const int delay = self->hold_.Press(GET_Y_LPARAM(lParam) < r.bottom / 2);
      SetTimer(hwnd, kRepeatTimer, static_cast<UINT>(delay), nullptr);
      // The up-down draws itself pressed and takes the mouse.
      return DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
    }
    case WM_MOUSEMOVE:
      if (self->hold_.Held()) self->hold_.Over(self->OverPressed(lParam));
      break;
    case WM_LBUTTONUP: {
      KillTimer(hwnd, kRepeatTimer);
      const int32_t step = self->hold_.Release(self->OverPressed(lParam));
      const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
      if (step) self->Step(step);
      return result;
    }
    case WM_CAPTURECHANGED:
      if (self->hold_.Held() && reinterpret_cast<HWND>(lParam) != hwnd) {
        KillTimer(hwnd, kRepeatTimer);
        self->hold_.Release(false);
      }
      break;
    case WM_TIMER:
      if (wParam == kRepeatTimer) {
        int next = 0;
        const int32_t step = self->hold_.Fire(next);
        SetTimer(hwnd, kRepeatTimer, static_cast<UINT>(next), nullptr);
        if (step) self->Step(step);
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      return 0;  // no menu of the text box's over the arrows
    case WM_SETCURSOR:
      if (BusyCursor::SetIfBusy()) return TRUE;
      break;
    case WM_NCDESTROY:
      KillTimer(hwnd, kRepeatTimer);
      RemoveWindowSubclass(hwnd, ArrowProc, kSubclassId);
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace tolvanix::win32
