// The two windows as described: texts, places, sizes, tab order, fonts; the
// About window's keys and browser button; the focus when a window is active
// again; the theme's colours.
#include <array>
#include <functional>

#include "WindowScript.h"
#include "forms/FormDescriptions.h"
#include "forms/Texts.h"
#include "win32/Boxes.h"
#include "win32/Fonts.h"
#include "win32/Unit2.h"

using namespace tolvanix;
using namespace tolvanix::testing;

namespace {

// A control's place in its window's client area, at 96 dpi.
Rect PlaceOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  const UINT dpi = win32::DpiOf(control);
  return {MulDiv(r.left, 96, dpi), MulDiv(r.top, 96, dpi), MulDiv(r.right - r.left, 96, dpi),
          MulDiv(r.bottom - r.top, 96, dpi)};
}

void ExpectAsDescribed(const FormDescription& form, HWND window,
                       const std::vector<win32::Control*>& controls) {
  RECT client;
  GetClientRect(window, &client);
  const UINT dpi = win32::DpiOf(window);
  EXPECT_EQ(TextOf(window), form.caption);
  EXPECT_EQ(client.right, win32::Scale(form.clientWidth, dpi));
  EXPECT_EQ(client.bottom, win32::Scale(form.clientHeight, dpi));
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlDescription& c = form.controls[i];
    SCOPED_TRACE(c.name);
    if (!controls[i]) continue;  // drawn by the window
    const Rect at = PlaceOf(controls[i]->hwnd());
    EXPECT_EQ(std::make_pair(at.left, at.top), std::make_pair(c.rect.left, c.rect.top));
    if (!c.autoSize) {
      EXPECT_EQ(std::make_pair(at.width, at.height), std::make_pair(c.rect.width, c.rect.height));
    }
    if (c.cls == ControlClass::Image) continue;
    EXPECT_EQ(Narrow(controls[i]->Text()), c.text);
  }
}

}  // namespace

using WindowTest = InWindow;

TEST_F(WindowTest, MainWindowIsAsDescribedAndTabsInOrder) {
  win32::TForm1& f = form_;
  ExpectAsDescribed(Form1Description(), f.hwnd(),
                    {nullptr, &f.Label1, &f.Label2, &f.Label3, &f.Button1, &f.Button2, &f.Button3,
                     &f.SpinEdit1, &f.Button4});
  EXPECT_EQ(win32::ChosenFace(kWindowFont, 96), L"ＭＳ Ｐゴシック") << "mapped in the prefix";
  const RECT& b = f.Bevel1.Rect();  // drawn by the window
  const auto at = [&](int px) { return LONG(win32::Scale(px, win32::DpiOf(f.hwnd()))); };
  EXPECT_EQ((std::array{b.left, b.top, b.right, b.bottom}),
            (std::array{at(0), at(88), at(289), at(121)}));
  // Screen readers name a control without a text of its own by the label right above it.
  EXPECT_EQ(GetWindow(f.SpinEdit1.hwnd(), GW_HWNDPREV), f.Label1.hwnd());
  EXPECT_EQ(GetWindow(f.SpinEdit1.hwnd(), GW_HWNDNEXT), f.Label2.hwnd()) << "then its unit";
  EXPECT_EQ(GetWindow(f.Label3.Progress(), GW_HWNDPREV), f.Label3.hwnd());

  PumpUntil([&] { return GetFocus() == f.Button1.hwnd(); }, 2000);
  std::vector<HWND> order{GetFocus()};
  for (int i = 0; i < 5; ++i) order.push_back(GetNextDlgTabItem(f.hwnd(), order.back(), FALSE));
  EXPECT_EQ(order, (std::vector<HWND>{f.Button1.hwnd(), f.Button2.hwnd(), f.Button3.hwnd(),
                                      f.SpinEdit1.hwnd(), f.Button4.hwnd(), f.Button1.hwnd()}));
}

// Enter closes the About window with OK; Esc does nothing; each click on the browser button asks
// the shell once. Each showing is a new window centred on the screen.
TEST_F(WindowTest, AboutWindowKeysAndBrowser) {
  for (const UINT key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Esc, then the close box");
    std::vector<std::wstring> opened;
    int result = 0;
    WindowScript script;
    script.Then([&](HWND window) {
      auto* a = dynamic_cast<win32::TForm2*>(win32::Wnd::From(window));
      ASSERT_NE(a, nullptr);
      a->openUrl = [&](HWND, const std::wstring& url) { opened.push_back(url); };
      ExpectAsDescribed(
          Form2Description(), window,
          {&a->Label5, &a->Label4, &a->Image1, &a->Label1, &a->Label2, &a->Button2, &a->Button1});
      RECT r;
      GetWindowRect(window, &r);
      const Point centred = CentredOn(win32::ScreenOf(window), r.right - r.left, r.bottom - r.top);
      EXPECT_EQ(std::make_pair(r.left, r.top), std::make_pair(LONG(centred.x), LONG(centred.y)));
      EXPECT_FALSE(IsWindowEnabled(form_.hwnd())) << "modal";
      PressKey(GetFocus(), key);
      PumpUntil([&] { return (result = a->Result()) != 0; }, 100);
      if (result) return;
      a->Button2.Click();
      a->Button2.Click();
      PostMessageW(window, WM_CLOSE, 0, 0);
      PumpUntil([&] { return (result = a->Result()) != 0; });
    });
    form_.Button4.Click();
    EXPECT_EQ(result, key == VK_RETURN ? win32::TForm2::mrOk : win32::TForm2::mrCancel);
    EXPECT_EQ(opened, std::vector<std::wstring>(result == 1 ? 0 : 2, Widen(kWebPageAddress)));
    EXPECT_TRUE(IsWindowEnabled(form_.hwnd()));
  }
}

// Back in the main window after a box, the About window, a run, another window or a minimise, the
// focus is on the control that had it: on Button1, Enter clicks it at once.
TEST_F(WindowTest, FocusComesBackToTheControlThatHadIt) {
  WriteFile(Path("a.bin"), "bytes");
  const auto pause = [] { PumpUntil([] { return false; }, 200); };
  const auto close = [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); };
  WindowScript script;
  const auto box = [&] {
    script.Then(close);
    win32::ShowBox(form_.hwnd(), NoticeBox(), "x");
  };
  const struct {
    win32::Control* focused;
    const char* after;
    std::function<void()> leave;
  } rows[] = {
      {&form_.Button1, "a box", box},
      {&form_.SpinEdit1, "a box", box},
      {&form_.Button4, "About",
       [&] {
         script.Then(close);
         form_.Button4.Click();
       }},
      {&form_.Button1, "a run",
       [&] {
         script.Then([&](HWND w) { ChooseFile(w, Path("a.bin")); }).Then([&](HWND w) {
           ChooseFile(w, Path("a.001"));
         });
         form_.Button1.Click();
         PumpUntil([&] { return !form_.CommandRunning(); });
       }},
      {&form_.Button1, "another window",
       [&] {
         const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                            nullptr, nullptr, nullptr, nullptr);
         SetForegroundWindow(other);
         pause();
         SetForegroundWindow(form_.hwnd());
         DestroyWindow(other);
       }},
      {&form_.Button1, "a minimise",
       [&] {
         ShowWindow(form_.hwnd(), SW_MINIMIZE);
         pause();
         ShowWindow(form_.hwnd(), SW_RESTORE);
       }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(TextOf(r.focused->hwnd())) + ", then " + r.after);
    SetFocus(r.focused->hwnd());
    r.leave();
    pause();
    EXPECT_EQ(GetFocus(), r.focused->hwnd());
    if (r.focused != &form_.Button1) continue;
    script.Then(close);  // the split's first prompt: Enter clicked Button1
    PressKey(GetFocus(), VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !form_.CommandRunning(); }));
  }
}

// In a theme of other colours (a high-contrast one), every line of text is drawn in its window
// text colour on its face colour: only blends of the two, and some of the text colour itself.
TEST_F(WindowTest, TextsTakeTheThemesColours) {
  const int elements[] = {COLOR_WINDOWTEXT, COLOR_BTNFACE};
  const COLORREF before[] = {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE)};
  const COLORREF theme[] = {RGB(255, 255, 0), RGB(0, 0, 0)};  // yellow on black
  ASSERT_TRUE(SetSysColors(2, elements, theme));
  const auto expectInTheme = [](HWND c) {
    SCOPED_TRACE(TextOf(c));
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(c, &r);
    const HDC dc = GetDC(c);
    int blends = 0, text = 0;
    for (int y = 0; y < r.bottom; ++y) {
      for (int x = 0; x < r.right; ++x) {
        const COLORREF p = GetPixel(dc, x, y);
        blends += GetBValue(p) == 0;
        text += GetRValue(p) > 200 && GetGValue(p) > 200;
      }
    }
    ReleaseDC(c, dc);
    EXPECT_EQ(blends, r.right * r.bottom);
    EXPECT_GT(text, 0);
  };
  form_.Label3.Show(L"分割中  1/3");
  for (HWND c : {form_.Label1.hwnd(), form_.Label2.hwnd(), form_.Label3.hwnd()}) expectInTheme(c);
  WindowScript script;
  script.Then([&](HWND w) {
    auto* a = dynamic_cast<win32::TForm2*>(win32::Wnd::From(w));
    for (HWND c : {a->Label4.hwnd(), a->Label1.hwnd(), a->Label2.hwnd()}) expectInTheme(c);
    PostMessageW(w, WM_CLOSE, 0, 0);
  });
  form_.Button4.Click();
  SetSysColors(2, elements, before);
}
