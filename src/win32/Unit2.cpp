#include "win32/Unit2.h"

#include <shellapi.h>

#include "forms/FormDescriptions.h"
#include "forms/FormLayout.h"
#include "forms/Texts.h"
#include "win32/Cursor.h"
#include "win32/Wide.h"

namespace tolvanix::win32 {

namespace {

COLORREF ColourOf(const ControlDescription& c) {
  const uint32_t rgb = c.font ? c.font->rgb : clWindowText;
  if (rgb == clWindowText) return CLR_DEFAULT;
  return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

}  // namespace

int TForm2::ShowModal(HWND owner) {
  const FormDescription& form = Form2Description();
  BusyCursor::Lift lift;
  if (!CreateTop(Widen(Tr(form.caption)), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner, form.clientWidth,
                 form.clientHeight)) {
    return mrCancel;
  }
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))));
  const auto label = [&](Label& l, const char* name) {
    const ControlDescription& c = form.Control(name);
    l.Create(hwnd(), Widen(Tr(c.text)), c.autoSize, ColourOf(c));
  };
  label(Label5, "Label5");
  label(Label4, "Label4");
  Image1.Create(hwnd());
  label(Label1, "Label1");
  label(Label2, "Label2");
  Button2.Create(hwnd(), Widen(Tr(form.Control("Button2").text)));
  Button2.onClick = [this] { Button2Click(&Button2); };
  Button1.Create(hwnd(), Widen(Tr(form.Control("Button1").text)), true);
  Button1.onClick = [this] {
    result_ = mrOk;
    done_ = true;
  };
  Layout();
  CentreOnScreen();  // as laid out for the language
  {
    ModalScope modal;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(Button1.hwnd());  // the focus starts on OK
    RunLoopUntil(done_);
  }
  DestroyWindow(hwnd());
  return result_;
}

void TForm2::Layout() {
  const FormDescription& form = Form2Description();
  const UINT dpi = DpiOf(hwnd());
  windowFont_ = MakeFont(form.font, dpi);
  headingFont_ = MakeFont(*form.Control("Label5").font, dpi);
  contactFont_ = MakeFont(*form.Control("Label1").font, dpi);
  // In the description's order.
  Control* const controls[] = {&Label5, &Label4, &Image1, &Label1, &Label2, &Button2, &Button1};
  for (Control* control : controls) {
    control->SetFont(control == &Label5   ? headingFont_.get()
                     : control == &Label1 ? contactFont_.get()
                                          : windowFont_.get());
  }
  const FormLayout layout = LayOut(form, [&](const ControlDescription& c) {
    return controls[&c - form.controls.data()]->NeededWidth(dpi);
  });
  for (size_t i = 0; i < form.controls.size(); ++i) controls[i]->Place(layout.rects[i], dpi);
  if (layout.clientWidth != form.clientWidth || layout.clientHeight != form.clientHeight)
    SizeClient(layout.clientWidth, layout.clientHeight);
}

void TForm2::Button2Click(Control*) {
  const std::wstring address = Widen(kWebPageAddress);
  if (openUrl) {
    openUrl(hwnd(), address);
  } else {
    ShellExecuteW(hwnd(), L"open", address.c_str(), L"", L"", SW_SHOW);
  }
}

bool TForm2::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    // Enter clicks the focused button (OK is also the default); there is no
    // cancel button, so Esc does nothing.
    if (msg.wParam == VK_RETURN) {
      if (Button* focused = Button::Focused()) {
        focused->Click();
      } else {
        Button1.Click();
      }
    }
    return true;
  }
  return Wnd::PreTranslate(msg);
}

bool TForm2::OnClose() {
  result_ = mrCancel;
  done_ = true;
  return false;  // destroyed by ShowModal, once the owner is enabled again
}

void TForm2::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Wnd::OnDpiChanged(dpi, suggested);
  Layout();
}

}  // namespace tolvanix::win32
