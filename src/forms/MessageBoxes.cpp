#include "forms/MessageBoxes.h"

#include "forms/Texts.h"

namespace tolvanix {

const BoxDescription& NoticeBox() {
  static const BoxDescription box{kApplicationTitle, BoxIcon::None, {{kOkButton, Answer::Ok}}, 0, 0,
                                  Answer::Cancel};
  return box;
}

const BoxDescription& WarningBox() {
  static const BoxDescription box{
      kWarningCaption,
      BoxIcon::Warning,
      {{kYesButton, Answer::Yes}, {kNoButton, Answer::No}, {kCancelButton, Answer::Cancel}},
      0,
      2,
      Answer::Cancel};
  return box;
}

const BoxDescription& StopQuestionBox() {
  static const BoxDescription box{kApplicationTitle,
                                  BoxIcon::Warning,
                                  {{kYesButton, Answer::Yes}, {kNoButton, Answer::No}},
                                  1,
                                  1,
                                  Answer::No};
  return box;
}

char32_t AccessKey(std::string_view caption) {
  const size_t amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return 0;
  const auto lead = static_cast<unsigned char>(caption[amp + 1]);
  if (lead < 0x80) return lead >= 'A' && lead <= 'Z' ? lead - 'A' + 'a' : lead;
  // A letter of another script: its code point, as typed.
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (amp + length >= caption.size()) return 0;
  char32_t key = lead & (0x3F >> (length - 1));
  for (size_t i = 2; i <= length; ++i) {
    key = (key << 6) | (static_cast<unsigned char>(caption[amp + i]) & 0x3F);
  }
  return key;
}

int ButtonOfKey(const BoxDescription& box, char32_t typed) {
  if (typed >= 'A' && typed <= 'Z') typed += 'a' - 'A';
  for (size_t i = 0; i < box.buttons.size(); ++i) {
    if (typed != 0 && AccessKey(Tr(box.buttons[i].caption)) == typed) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tolvanix
