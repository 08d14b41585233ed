#include "forms/FormDescriptions.h"

#include <algorithm>
#include <cstdlib>

#include "forms/Texts.h"

namespace tolvanix {

const FontDescription kWindowFont{"ＭＳ Ｐゴシック", 12};

namespace {

const FontDescription kHeadingFont{"ＭＳ ゴシック", 19, true, true, clGreen, true};
const FontDescription kContactFont{"ＭＳ ゴシック", 12, false, false, clWindowText, true};

using C = ControlClass;

}  // namespace

const ControlDescription& FormDescription::Control(std::string_view controlName) const {
  const auto it = std::find_if(controls.begin(), controls.end(),
                               [&](const ControlDescription& c) { return c.name == controlName; });
  if (it == controls.end()) std::abort();  // a misspelt name in the program itself
  return *it;
}

const FormDescription& Form1Description() {
  static const ControlDescription kControls[] = {
      {"Bevel1", C::Bevel, "", {0, 88, 289, 33}, -1, false, nullptr, false, true},
      {"Label1", C::Label, N_("分割サイズ"), {8, 40, 58, 12}, -1, true},
      {"Label2", C::Label, N_("KB"), {80, 72, 15, 12}, -1, true},
      {"Label3", C::Label, "", {8, 96, 273, 17}, -1, false, nullptr, false, true},  // the status
                                                                                    // line
      {"Button1", C::Button, N_("分割"), {8, 8, 129, 25}, 0},
      {"Button2", C::Button, N_("結合"), {152, 8, 129, 25}, 1},
      {"Button3", C::Button, N_("終了"), {200, 56, 81, 25}, 2},
      {"SpinEdit1", C::SpinEdit, "1024", {8, 56, 65, 21}, 3},
      {"Button4", C::Button, N_("About"), {120, 56, 73, 25}, 4},
  };
  static const LabelOf kLabels[] = {{"Label1", "SpinEdit1"}, {"Label2", "SpinEdit1", true}};
  static const FormDescription form{"Form1",     kApplicationTitle, 291,       122,
                                    kWindowFont, kControls,         "Button1", kLabels};
  return form;
}

const FormDescription& Form2Description() {
  static const ControlDescription kControls[] = {
      {"Label5", C::Label, kAboutHeading, {56, 14, 177, 19}, -1, false, &kHeadingFont},
      {"Label4", C::Label, kCopyrightLine, {24, 53, 188, 12}, -1, true},
      {"Image1", C::Image, "", {8, 8, 32, 32}},
      {"Label1",
       C::Label,
       std::string("e-mail:") + kContactAddress,
       {32, 72, 168, 12},
       -1,
       true,
       &kContactFont},
      {"Label2", C::Label, std::string(" ") + kWebPageAddress, {16, 88, 213, 12}, -1, true},
      {"Button2", C::Button, N_("ブラウザ"), {56, 112, 81, 25}, 0},
      {"Button1", C::Button, kOkButton, {152, 112, 80, 25}, 1, false, nullptr, true},
  };
  static const FormDescription form{"Form2",     kAboutCaption, 248,      147,
                                    kWindowFont, kControls,     "Button1"};
  return form;
}

Point CentredOn(const Rect& screen, int width, int height) {
  return {screen.left + std::max(0, (screen.width - width) / 2),
          screen.top + std::max(0, (screen.height - height) / 2)};
}

Point DialogPlaceOn(const Rect& screen, int width, int height) {
  return {screen.left + (screen.width - width) / 2, screen.top + (screen.height - height) / 3};
}

}  // namespace tolvanix
