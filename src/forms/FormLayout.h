// Where a window's controls go when their texts are those of the language in
// use. The descriptions give the Japanese window, which keeps its geometry
// exactly. In another language a button or a self-sizing label that needs
// more room for its text grows to the right, what stands right of it on its
// row moves along, and the window widens as far as the controls need, the
// ones that span it (the bevel, the status line) with it. Nothing shrinks.
#pragma once

#include <functional>
#include <vector>

#include "forms/FormDescriptions.h"

namespace tolvanix {

struct FormLayout {
  int clientWidth, clientHeight;
  std::vector<Rect> rects;  // in the order of the description's controls
};

// `needed(control)`: the width at 96 dpi that the control needs to show its
// text (as Tr gives it) whole, as the front end's toolkit measures it.
FormLayout LayOut(const FormDescription& form,
                  const std::function<int(const ControlDescription&)>& needed);

}  // namespace tolvanix
