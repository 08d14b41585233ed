// The boxes' keys, and the piece-size field's keys.
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

// Keys: "R" Enter, "E" Esc, "T" Tab, a letter typed, "S" "C" "A" held before one; none: close box.
TEST_F(BoxesTest, ABoxDrawsItsDescriptionAndAnswersItsKeys) {
  const std::string text = "空き容量が足りません。\r\n空き容量が足りません。";
  const std::string held = "SRCRARCE";
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
        std::string mods;
        for (const char k : keys) {
          if (k == 'S' || k == 'C' || k == 'A') {
            mods += k;
            continue;
          }
          if (mods.empty() && islower(k)) TypeChar(GetFocus(), static_cast<wchar_t>(k));
          const UINT vk = k == 'R'   ? VK_RETURN
                          : k == 'E' ? VK_ESCAPE
                          : k == 'T' ? VK_TAB
                                     : toupper(k);
          if (!mods.empty() || !islower(k)) PressKey(GetFocus(), vk, mods.c_str());
          mods.clear();
          Idle(20);
        }
        if (keys.empty() || keys == held) Dismiss(w);
      });
      EXPECT_EQ(win32::ShowBox(form_.hwnd(), *box, text), expected);
      EXPECT_FALSE(busyInside) << "the normal pointer while a box is open";
      EXPECT_TRUE(win32::BusyCursor::On()) << "the busy one back after";
    }
  }
  win32::BusyCursor::Set(false);
}

// Keys: ↑ ↓ ⌫ ⏎ pressed, ▲ ▼ the arrow buttons clicked, △ the up one right-clicked, others typed.
TEST_F(BoxesTest, SizeFieldTakesItsKeys) {
  const struct {
    std::wstring before, keys, after;
    int beeps;
  } rows[] = {
      {L"", L"-1a⏎⌫", L"-", 2},
      {L" $10", L"↑↑↓", L"17", 0},
      {L"1024", L"▲▲▼△", L"1025", 0},
  };
  win32::SpinEdit& spin = form_.SpinEdit1;
  EXPECT_EQ(ImmGetContext(spin.hwnd()), nullptr);
  const HIMC elsewhere = ImmGetContext(form_.Button1.hwnd());
  EXPECT_NE(elsewhere, nullptr) << "where other controls have one";
  ImmReleaseContext(form_.Button1.hwnd(), elsewhere);
  int beeps = 0;
  spin.beep = [&] { ++beeps; };
  RECT arrows;
  GetClientRect(spin.UpDown(), &arrows);
  for (const auto& r : rows) {
    SCOPED_TRACE(Narrow(r.before + L" " + r.keys));
    spin.SetText(r.before);
    SetFocus(spin.hwnd());
    SendMessageW(spin.hwnd(), EM_SETSEL, 0x7fffffff, 0x7fffffff);  // caret at the end
    beeps = 0;
    for (const wchar_t k : r.keys) {
      const LPARAM at = MAKELPARAM(arrows.right / 2, arrows.bottom * (k == L'▼' ? 3 : 1) / 4);
      const size_t click = std::wstring(L"▲▼△").find(k), key = std::wstring(L"↑↓⌫⏎").find(k);
      if (click != std::wstring::npos) {
        const bool left = k != L'△';
        PostMessageW(spin.UpDown(), left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN,
                     left ? MK_LBUTTON : MK_RBUTTON, at);
        PostMessageW(spin.UpDown(), left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, at);
      } else if (key != std::wstring::npos) {
        const UINT vks[] = {VK_UP, VK_DOWN, VK_BACK, VK_RETURN};
        PressKey(spin.hwnd(), vks[key]);
      } else {
        TypeChar(spin.hwnd(), k);
      }
      Idle(20);
    }
    EXPECT_EQ(Narrow(spin.Text()), Narrow(r.after));
    EXPECT_EQ(beeps, r.beeps);
  }
}
