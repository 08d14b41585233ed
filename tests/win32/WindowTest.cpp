// The two windows as described, focus coming back, the theme's colours, the file dialogs.
#include <functional>

#include "WindowScript.h"
#include "forms/FormDescriptions.h"
#include "forms/Texts.h"
#include "win32/Boxes.h"
#include "win32/FileDialogs.h"
#include "win32/Fonts.h"
#include "win32/Unit2.h"

using namespace tolvanix;
using namespace tolvanix::testing;

namespace {

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
    RECT r;                      // in the client area, at 96 dpi
    GetWindowRect(controls[i]->hwnd(), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const auto at = [&](LONG px) { return MulDiv(px, 96, dpi); };
    EXPECT_EQ(std::make_pair(at(r.left), at(r.top)), std::make_pair(c.rect.left, c.rect.top));
    if (!c.autoSize) {
      EXPECT_EQ(std::make_pair(at(r.right - r.left), at(r.bottom - r.top)),
                std::make_pair(c.rect.width, c.rect.height));
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

// On Button1 again after a box or a minimise, Enter clicks it at once.
TEST_F(WindowTest, FocusComesBackToTheControlThatHadIt) {
  WindowScript script;
  const struct {
    win32::Control* focused;
    const char* after;
    std::function<void()> leave;
  } rows[] = {
      {&form_.SpinEdit1, "a box",
       [&] {
         script.Then(Dismiss);
         win32::ShowBox(form_.hwnd(), NoticeBox(), "x");
       }},
      {&form_.Button4, "About",
       [&] {
         script.Then(Dismiss);
         form_.Button4.Click();
       }},
      {&form_.Button1, "a run",
       [&] {
         script.Then(Dismiss);  // the split's first prompt
         form_.Button1.Click();
         PumpUntil([&] { return !form_.CommandRunning(); });
       }},
      {&form_.Button1, "a minimise",
       [&] {
         ShowWindow(form_.hwnd(), SW_MINIMIZE);
         Idle(200);
         ShowWindow(form_.hwnd(), SW_RESTORE);
       }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.after);
    SetFocus(r.focused->hwnd());
    r.leave();
    Idle(200);
    EXPECT_EQ(GetFocus(), r.focused->hwnd());
  }
  script.Then(Dismiss);  // the split's first prompt: Enter clicked Button1
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return !form_.CommandRunning(); }));
}

// In a high-contrast theme, text is drawn only in blends of its text and face colours.
TEST_F(WindowTest, AboutWindowAndTheThemesColours) {
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
  std::vector<std::wstring> opened;
  WindowScript script;
  script.Then([&](HWND window) {
    auto* a = dynamic_cast<win32::TForm2*>(win32::Wnd::From(window));
    ASSERT_NE(a, nullptr);
    ExpectAsDescribed(
        Form2Description(), window,
        {&a->Label5, &a->Label4, &a->Image1, &a->Label1, &a->Label2, &a->Button2, &a->Button1});
    for (HWND c : {a->Label4.hwnd(), a->Label1.hwnd(), a->Label2.hwnd()}) expectInTheme(c);
    EXPECT_FALSE(IsWindowEnabled(form_.hwnd())) << "modal";
    PressKey(GetFocus(), VK_ESCAPE);
    Idle(100);
    EXPECT_EQ(a->Result(), 0) << "Esc";
    a->openUrl = [&](HWND, const std::wstring& url) { opened.push_back(url); };
    a->Button2.Click();
    a->Button2.Click();
    Dismiss(window);
  });
  form_.Button4.Click();
  SetSysColors(2, elements, before);
  EXPECT_EQ(opened, std::vector<std::wstring>(2, Widen(kWebPageAddress)));
  EXPECT_TRUE(IsWindowEnabled(form_.hwnd()));
}

using FileDialogTest = InWindow;

// A confirmed name makes the chosen file's folder current; a typed pattern is no choice.
TEST_F(FileDialogTest, AreCommonItemDialogsInTheFolderTheNameGives) {
  ASSERT_TRUE(CreateDirectoryW(Widen(Path("sub")).c_str(), nullptr));
  WriteFile(Path("old.bin"), "");
  FileDialogs d;
  const struct {
    TFileDialog* dialog;
    std::string proposed;
    const char* shown;  // in the name box
    const char* typed;
    bool asks;
    std::string chosen;
  } rows[] = {
      {&d.OpenDialog2, "*.001", "*.001", "*.txt", false, ""},  // not confirmed
      {&d.OpenDialog2, "*.001", "*.001", "new.001", false, Path("new.001")},
      {&d.OpenDialog1, Path("sub\\a.bin"), "a.bin", "b.bin", false, Path("sub\\b.bin")},
      {&d.SaveDialog1, "a.001", "a.001", "old.bin", true, Path("old.bin")},
      {&d.SaveDialog2, "", "", "new.bin", false, Path("new.bin")},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    SetCurrentDirectoryW(Widen(dir_.Path()).c_str());  // an earlier row may have picked sub
    r.dialog->FileName = r.proposed;
    WindowScript script;
    script.Then([&](HWND w) {
      // The old dialog holds its shell view itself.
      const std::vector<HWND> views = Children(w, L"SHELLDLL_DefView");
      EXPECT_TRUE(views.size() == 1 && GetParent(views[0]) != w);
      RECT at;
      GetWindowRect(w, &at);
      const Point place = DialogPlaceOn(win32::ScreenOf(w), at.right - at.left, at.bottom - at.top);
      EXPECT_EQ(std::make_pair(at.left, at.top), std::make_pair(LONG(place.x), LONG(place.y)));
      EXPECT_EQ(TextOf(NameBox(w)), r.shown);
      ChooseFile(w, r.typed);
      if (!r.chosen.empty()) return;
      Idle(300);
      if (IsWindow(w)) Dismiss(w);  // Wine's may have closed
    });
    if (r.asks) script.Then([](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); });
    EXPECT_EQ(win32::RunFileDialog(form_.hwnd(), *r.dialog), !r.chosen.empty());
    if (r.chosen.empty()) {
      EXPECT_EQ(r.dialog->FileName, r.proposed);
      continue;
    }
    EXPECT_EQ(r.dialog->FileName, r.chosen);
    wchar_t here[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, here);
    EXPECT_EQ(Narrow(here) + "\\", r.chosen.substr(0, r.chosen.rfind('\\') + 1));
  }
}
