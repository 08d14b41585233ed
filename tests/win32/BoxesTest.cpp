// The boxes' looks and keys, and the piece-size field's typing and stepping.
#include <windows.h>
// After windows.h, which it builds on.
#include <imm.h>

#include "WindowScript.h"
#include "forms/MessageBoxes.h"
#include "win32/Boxes.h"
#include "win32/Cursor.h"

using namespace tolvanix;
using namespace tolvanix::testing;

using BoxesTest = InWindow;

// Each description drawn, and its keys: "R" Enter, "E" Esc, "T" Tab, a lower-case letter typed;
// "S", "C", "A" before a key: Shift, Ctrl, Alt held; none: the close box. Held Enter and Esc do
// nothing: the box stays open for its close box. The busy cursor is lifted while it is open.
TEST_F(BoxesTest, ABoxDrawsItsDescriptionAndAnswersItsKeys) {
  const std::string text = "空き容量が足りません。\r\n空き容量が足りません。";
  const std::string held = "SR CR AR CE";
  win32::BusyCursor::Set(true);
  for (const BoxDescription* box : {&NoticeBox(), &WarningBox(), &StopQuestionBox()}) {
    std::string look = std::string(Tr(box->caption)) + (box->icon == BoxIcon::None ? "" : "!");
    look += "|" + text;
    for (const BoxButton& b : box->buttons) look += std::string("|") + Tr(b.caption);
    const auto answer = [&](size_t button) { return box->buttons[button].answer; };
    std::vector<std::pair<std::string, Answer>> rows = {
        {"R", answer(box->defaultButton)},
        {"TR", answer((box->defaultButton + 1) % box->buttons.size())},
        {"E", answer(box->cancelButton)},
        {"", box->closeAnswer},
        {held, box->closeAnswer},
    };
    for (size_t i = 0; i < box->buttons.size(); ++i) {
      if (const auto key = static_cast<char>(AccessKey(Tr(box->buttons[i].caption)))) {
        rows.push_back({std::string(1, key), answer(i)});
        rows.push_back({std::string("A") + key, answer(i)});
      }
    }
    for (const auto& [keys, expected] : rows) {
      SCOPED_TRACE(std::string(box->caption) + " " + keys);
      bool busyInside = true;
      WindowScript script;
      script.Then([&](HWND w) {
        EXPECT_EQ(BoxLook(w), look);
        busyInside = win32::BusyCursor::On();
        std::string modifier;
        for (const char k : keys) {
          if (k == 'S' || k == 'C' || k == 'A') {
            modifier = k;
          } else if (modifier.empty() && islower(k)) {
            TypeChar(GetFocus(), static_cast<wchar_t>(k));
          } else if (k != ' ') {
            const UINT vk = k == 'R'   ? VK_RETURN
                            : k == 'E' ? VK_ESCAPE
                            : k == 'T' ? VK_TAB
                                       : static_cast<UINT>(toupper(k));
            PressKey(GetFocus(), vk, modifier.c_str());
            modifier.clear();
          }
          PumpUntil([] { return false; }, 20);
        }
        if (keys.empty() || keys == held) PostMessageW(w, WM_CLOSE, 0, 0);
      });
      EXPECT_EQ(win32::ShowBox(form_.hwnd(), *box, text), expected);
      EXPECT_FALSE(busyInside) << "the normal pointer while a box is open";
      EXPECT_TRUE(win32::BusyCursor::On()) << "the busy one back after";
    }
  }
  win32::BusyCursor::Set(false);
}

// Keys: ↑ ↓ the arrow keys, ⌫ Backspace, ⏎ Enter, ▲ ▼ a click on the arrow buttons, △ a right
// click on the up one, any other character typed. Each refused key beeps.
TEST_F(BoxesTest, SizeFieldFiltersTypingAndStepsWithoutBounds) {
  const struct {
    const char16_t *before, *keys;
    const char16_t* after;
    int beeps;
  } rows[] = {
      {u"", u"-1+2.5⌫", u"-1+2.", 0},
      {u"", u"12a$ ⏎x", u"12", 5},
      {u"", u"↓", u"-1", 0},
      {u" $10", u"↑", u"17", 0},
      {u"2147483647", u"↑", u"-2147483648", 0},
      {u"1024", u"▲▲▼", u"1025", 0},
      {u"7", u"△", u"7", 0},
  };
  win32::SpinEdit& spin = form_.SpinEdit1;
  // No input method in the field, where other controls have one: typing gives keys.
  EXPECT_EQ(ImmGetContext(spin.hwnd()), nullptr);
  const HIMC elsewhere = ImmGetContext(form_.Button1.hwnd());
  EXPECT_NE(elsewhere, nullptr);
  ImmReleaseContext(form_.Button1.hwnd(), elsewhere);
  int beeps = 0;
  spin.beep = [&] { ++beeps; };
  SetFocus(spin.hwnd());
  RECT arrows;
  GetClientRect(spin.UpDown(), &arrows);
  for (const auto& r : rows) {
    SCOPED_TRACE(
        Narrow(std::wstring(r.before, r.before + std::char_traits<char16_t>::length(r.before))) +
        " " + Narrow(std::wstring(r.keys, r.keys + std::char_traits<char16_t>::length(r.keys))));
    spin.SetText(std::wstring(r.before, r.before + std::char_traits<char16_t>::length(r.before)));
    SendMessageW(spin.hwnd(), EM_SETSEL, 0x7fffffff, 0x7fffffff);  // caret at the end
    beeps = 0;
    for (const char16_t* k = r.keys; *k; ++k) {
      const int y = *k == u'▼' ? arrows.bottom * 3 / 4 : arrows.bottom / 4;
      const LPARAM at = MAKELPARAM(arrows.right / 2, y);
      if (*k == u'▲' || *k == u'▼') {
        PostMessageW(spin.UpDown(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(spin.UpDown(), WM_LBUTTONUP, 0, at);
      } else if (*k == u'△') {
        PostMessageW(spin.UpDown(), WM_RBUTTONDOWN, MK_RBUTTON, at);
        PostMessageW(spin.UpDown(), WM_RBUTTONUP, 0, at);
      } else if (*k == u'↑' || *k == u'↓' || *k == u'⌫' || *k == u'⏎') {
        const UINT vk = *k == u'↑'   ? VK_UP
                        : *k == u'↓' ? VK_DOWN
                        : *k == u'⌫' ? VK_BACK
                                     : VK_RETURN;
        PressKey(spin.hwnd(), vk);
      } else {
        TypeChar(spin.hwnd(), *k);
      }
      PumpUntil([] { return false; }, 20);
    }
    const std::wstring after = spin.Text();
    EXPECT_EQ(std::u16string(after.begin(), after.end()), r.after);
    EXPECT_EQ(beeps, r.beeps);
  }
  // Tab into the field selects its whole text.
  SetFocus(form_.Button3.hwnd());
  PressKey(form_.Button3.hwnd(), VK_TAB);
  PumpUntil([&] { return GetFocus() == spin.hwnd(); }, 1000);
  DWORD from = 1, to = 0;
  SendMessageW(spin.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
               reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, spin.Text().size());
}
