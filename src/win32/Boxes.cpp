#include "win32/Boxes.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "forms/FormDescriptions.h"
#include "forms/Texts.h"
#include "win32/Controls.h"
#include "win32/Cursor.h"
#include "win32/Fonts.h"
#include "win32/Wide.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

namespace {

// Margins and sizes at 96 dpi.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kGap = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

class Box final : public Wnd {
 public:
  Box(const BoxDescription& look, const std::string& text) : look_(look), text_(Widen(text)) {}

  Answer Run(HWND owner) {
    BusyCursor::Lift lift;
    if (!CreateTop(Widen(Tr(look_.caption)), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                   WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner, 100, 100)) {
      return look_.closeAnswer;
    }
    Build();
    {
      ModalScope modal;
      ShowWindow(hwnd(), SW_SHOW);
      SetFocus(buttons_[look_.defaultButton]->hwnd());
      RunLoopUntil(done_);
    }
    DestroyWindow(hwnd());
    return result_;
  }

  // Enter and Esc only without Shift, Ctrl or Alt; a letter, with or
  // without Alt, clicks the button whose access key it is.
  bool PreTranslate(MSG& msg) override {
    const bool modifier =
        GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      if (modifier) return true;
      if (msg.wParam == VK_ESCAPE) {
        Close(look_.buttons[look_.cancelButton].answer);
      } else if (Button* focused = Button::Focused()) {
        focused->Click();
      } else {
        buttons_[look_.defaultButton]->Click();
      }
      return true;
    }
    if ((msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && GetKeyState(VK_CONTROL) >= 0) {
      const int button = ButtonOfKey(look_, static_cast<char32_t>(msg.wParam));
      if (button >= 0) {
        buttons_[button]->Click();
        return true;
      }
    }
    // Tab and Space: the dialog navigation.
    return Wnd::PreTranslate(msg);
  }

 protected:
  bool OnClose() override {
    Close(look_.closeAnswer);
    return false;  // destroyed by Run, once the program's windows are enabled again
  }

 private:
  void Close(Answer result) {
    if (done_) return;
    result_ = result;
    done_ = true;
  }

  void Build() {
    const UINT dpi = DpiOf(hwnd());
    font_ = MessageFont(dpi);
    const int margin = Scale(kMargin, dpi);
    int textLeft = margin;
    int iconSize = 0;
    if (look_.icon == BoxIcon::Warning) {
      iconSize = Scale(kIconSize, dpi);
      // The system's own, shared: never destroyed by the program.
      const auto icon = static_cast<HICON>(
          LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, iconSize, iconSize, LR_SHARED));
      iconLabel_ =
          CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, margin, margin,
                          iconSize, iconSize, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
      SendMessageW(iconLabel_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      textLeft += iconSize + Scale(kGap, dpi);
    }

    // The text in a column at most half the screen wide, word-wrapped,
    // with its line breaks and tabs.
    constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    const HDC dc = GetDC(hwnd());
    const HGDIOBJ old = SelectObject(dc, font_.get());
    RECT textBox{0, 0, ScreenOf(hwnd()).width / 2, 0};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &textBox,
              kTextFormat | DT_CALCRECT);
    int buttonWidth = Scale(kButtonWidth, dpi);
    for (const BoxButton& b : look_.buttons) {
      const std::wstring caption = Widen(Tr(b.caption));
      RECT r{0, 0, 0, 0};
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CALCRECT | DT_SINGLELINE);
      buttonWidth = std::max<int>(buttonWidth, r.right + Scale(16, dpi));
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);

    text_label_ = std::make_unique<Label>();
    text_label_->Create(hwnd(), text_, false, GetSysColor(COLOR_WINDOWTEXT));
    SetWindowLongW(text_label_->hwnd(), GWL_STYLE,
                   (GetWindowLongW(text_label_->hwnd(), GWL_STYLE) & ~SS_LEFTNOWORDWRAP) | SS_LEFT);
    text_label_->SetFont(font_.get());
    const int textHeight = std::max<int>(textBox.bottom, iconSize);
    MoveWindow(text_label_->hwnd(), textLeft, margin, textBox.right, textBox.bottom, FALSE);

    const int n = static_cast<int>(look_.buttons.size());
    const int gap = Scale(kButtonGap, dpi);
    const int rowWidth = n * buttonWidth + (n - 1) * gap;
    const int width = std::max<int>(textLeft + textBox.right + margin, rowWidth + 2 * margin);
    const int rowTop = margin + textHeight + Scale(16, dpi);
    const int buttonHeight = Scale(kButtonHeight, dpi);
    int x = (width - rowWidth) / 2;
    for (const BoxButton& b : look_.buttons) {
      auto button = std::make_unique<Button>();
      button->Create(hwnd(), Widen(Tr(b.caption)));
      button->SetFont(font_.get());
      MoveWindow(button->hwnd(), x, rowTop, buttonWidth, buttonHeight, FALSE);
      button->onClick = [this, answer = b.answer] { Close(answer); };
      buttons_.push_back(std::move(button));
      x += buttonWidth + gap;
    }

    RECT frame{0, 0, width, rowTop + buttonHeight + margin};
    AdjustWindowRectExForDpi(&frame, GetWindowLongW(hwnd(), GWL_STYLE), FALSE,
                             GetWindowLongW(hwnd(), GWL_EXSTYLE), dpi);
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnScreen();
  }

  const BoxDescription& look_;
  std::wstring text_;
  Font font_;
  HWND iconLabel_ = nullptr;
  std::unique_ptr<Label> text_label_;
  std::vector<std::unique_ptr<Button>> buttons_;
  bool done_ = false;
  Answer result_ = Answer::Cancel;
};

}  // namespace

Answer ShowBox(HWND owner, const BoxDescription& look, const std::string& text) {
  Box box(look, text);
  return box.Run(owner);
}

void CloseModalWindows(HWND owner) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM owner) {
        if (hwnd != reinterpret_cast<HWND>(owner) && IsWindowVisible(hwnd) &&
            GetAncestor(hwnd, GA_ROOTOWNER) == reinterpret_cast<HWND>(owner)) {
          PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(owner));
}

}  // namespace tolvanix::win32
