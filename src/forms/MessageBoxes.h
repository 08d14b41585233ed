// The program's three message boxes as data: the notice, the warning and the
// question before a close during a run. Each front end draws a description
// with its toolkit and gives back the answer of the button chosen.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/Interaction.h"

namespace tolvanix {

enum class BoxIcon { None, Warning };

struct BoxButton {
  const char* caption;  // shown through Tr; "&" marks the access key
  Answer answer;
};

struct BoxDescription {
  const char* caption;  // shown through Tr
  BoxIcon icon;
  std::vector<BoxButton> buttons;  // left to right
  size_t defaultButton;            // Enter when no button has the focus; focused at first
  size_t cancelButton;             // Esc
  Answer closeAnswer;              // the title bar's close, Alt+F4
};

// OK alone, under the application title.
const BoxDescription& NoticeBox();
// はい, いいえ and ｷｬﾝｾﾙ under "警告", Yes the default.
const BoxDescription& WarningBox();
// はい and いいえ under the application title, No the default and the cancel:
// asked before a run is stopped.
const BoxDescription& StopQuestionBox();

// The access key of a caption as shown: the character after "&", ASCII
// letters in lower case; 0 for none.
char32_t AccessKey(std::string_view caption);

// The button a typed character clicks: the one whose shown caption has it
// as access key, case ignored; none (-1) when no button has.
int ButtonOfKey(const BoxDescription& box, char32_t typed);

}  // namespace tolvanix
