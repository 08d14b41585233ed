// TForm2, the About window: the program's name and version, the maker's
// copyright line, contact and web page addresses, and a button that opens
// that web page in the user's browser. Shown modally by the main window,
// built anew for every showing.
#pragma once

#include <functional>
#include <string>

#include "win32/Controls.h"
#include "win32/Fonts.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

class TForm2 final : public Wnd {
 public:
  // Modal results: the OK button, and the title bar's close.
  static constexpr int mrOk = 1;
  static constexpr int mrCancel = 2;

  // Controls in creation order, back to front.
  Label Label5;    // heading
  Label Label4;    // copyright line
  Image Image1;    // program icon
  Label Label1;    // contact address
  Label Label2;    // web page address
  Button Button2;  // browser
  Button Button1;  // OK

  void Button2Click(Control* Sender);

  // Builds the window over `owner`, shows it centred and returns its result
  // when it is closed.
  int ShowModal(HWND owner);
  // The result once it is closing, 0 before.
  int Result() const { return done_ ? result_ : 0; }

  // How the browser button opens an address; the shell's "open" unless replaced.
  std::function<void(HWND, const std::wstring&)> openUrl;

  bool PreTranslate(MSG& msg) override;

 protected:
  bool OnClose() override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  void Layout();
  Font windowFont_, headingFont_, contactFont_;
  bool done_ = false;
  int result_ = mrCancel;
};

}  // namespace tolvanix::win32
