#include "forms/FormLayout.h"

#include <algorithm>
#include <numeric>

#include "i18n/Catalogue.h"

namespace tolvanix {

namespace {

bool SameRow(const Rect& a, const Rect& b) {
  return a.top < b.top + b.height && b.top < a.top + a.height;
}

int Right(const Rect& r) { return r.left + r.width; }

// Between a label's text and the control after it on its row.
constexpr int kGap = 8;

}  // namespace

FormLayout LayOut(const FormDescription& form,
                  const std::function<int(const ControlDescription&)>& needed) {
  FormLayout layout{form.clientWidth, form.clientHeight, {}};
  for (const ControlDescription& c : form.controls) layout.rects.push_back(c.rect);
  if (CurrentLanguage().empty()) return layout;

  const auto fixedRight = [&] {
    int right = 0;
    for (size_t i = 0; i < layout.rects.size(); ++i)
      if (!form.controls[i].spansWindow) right = std::max(right, Right(layout.rects[i]));
    return right;
  };
  const int margin = form.clientWidth - fixedRight();

  // Left to right, so that a control moved by its neighbour grows from where it now stands.
  std::vector<size_t> order(layout.rects.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return form.controls[a].rect.left < form.controls[b].rect.left;
  });
  for (const size_t i : order) {
    const ControlDescription& c = form.controls[i];
    const bool sizesToText =
        c.cls == ControlClass::Button || (c.cls == ControlClass::Label && c.autoSize);
    if (!sizesToText) continue;
    Rect& r = layout.rects[i];
    // A self-sizing label may run on up to its right-hand neighbour.
    int room = r.width;
    if (c.cls == ControlClass::Label) {
      room = layout.clientWidth - margin - r.left;
      for (size_t j = 0; j < layout.rects.size(); ++j) {
        const Rect& other = layout.rects[j];
        if (j != i && !form.controls[j].spansWindow && other.left >= Right(r) && SameRow(r, other))
          room = std::min(room, other.left - kGap - r.left);
      }
      room = std::max(room, r.width);
    }
    const int grow = needed(c) - room;
    if (grow <= 0) continue;
    r.width = room;
    for (size_t j = 0; j < layout.rects.size(); ++j) {
      Rect& other = layout.rects[j];
      if (j != i && !form.controls[j].spansWindow && other.left >= Right(r) && SameRow(r, other))
        other.left += grow;
    }
    r.width += grow;
  }

  const int widen = std::max(0, fixedRight() + margin - form.clientWidth);
  layout.clientWidth += widen;
  for (size_t i = 0; i < layout.rects.size(); ++i)
    if (form.controls[i].spansWindow) layout.rects[i].width += widen;
  return layout;
}

}  // namespace tolvanix
