// The two windows as their descriptions give them: caption, client size, font,
// and every control with its class, name, text, place, size, tab order and
// font, in pixels at 96 dpi. Each front end builds its windows from these
// and scales them itself.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvanix {

struct Rect {
  int left, top, width, height;
};

// Colours are 0xRRGGBB, or clWindowText: the system's colour for window
// text, which follows the user's theme (a high-contrast one among them).
inline constexpr uint32_t clWindowText = 0xFF000000;
inline constexpr uint32_t clGreen = 0x008000;

struct FontDescription {
  const char* face;
  int pixels;  // character height
  bool bold = false;
  bool italic = false;
  uint32_t rgb = clWindowText;
  bool fixedPitch = false;  // what to fall back to where the face is missing
};

enum class ControlClass { Bevel, Label, Button, SpinEdit, Image };

struct ControlDescription {
  const char* name;
  ControlClass cls;
  std::string text;  // Japanese, as shown through Tr
  Rect rect;
  int tabOrder = -1;                      // -1: takes no focus
  bool autoSize = false;                  // a label that sizes itself to its text
  const FontDescription* font = nullptr;  // null: the window's
  bool isDefault = false;                 // the button Enter clicks
  bool spansWindow = false;               // widens with the window
};

// A label that a screen reader reads with another control: as that control's
// name, or as its unit, after its value.
struct LabelOf {
  const char* label;
  const char* control;
  bool unit = false;
};

struct FormDescription {
  const char* name;
  std::string caption;  // Japanese, as shown through Tr
  int clientWidth, clientHeight;
  FontDescription font;
  std::span<const ControlDescription> controls;  // creation order, back to front
  const char* activeControl;                     // where the focus starts
  std::span<const LabelOf> labels = {};

  // The control of that name; the program's own descriptions have each.
  const ControlDescription& Control(std::string_view controlName) const;
};

// "ＭＳ Ｐゴシック", 12 pixels: both windows' font.
extern const FontDescription kWindowFont;

const FormDescription& Form1Description();  // TForm1, the main window
const FormDescription& Form2Description();  // TForm2, the About window

// Where a window of `size` goes when centred on a screen or work area
// `screen` (left and top never off it): the windows' place.
struct Point {
  int x, y;
};
Point CentredOn(const Rect& screen, int width, int height);
// A file dialog's place: centred across, a third of the remaining height above.
Point DialogPlaceOn(const Rect& screen, int width, int height);

}  // namespace tolvanix
