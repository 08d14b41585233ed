// Every text the windows show that is not a notice of the commands: captions,
// button captions, the close question, the About window's lines and the
// notices about a file handed over. Both front ends take them from here and
// show them through Tr; the maker's data and the program's name stay as they
// are in every language.
#pragma once

#include "i18n/Catalogue.h"

namespace tolvanix {

// The application title: caption of the main window and of every notice.
inline constexpr const char* kApplicationTitle = "Tolvanix";
inline constexpr const char* kWarningCaption = N_("警告");

// The boxes' buttons. "&" marks the access key and is not shown.
inline constexpr const char* kOkButton = N_("OK");
inline constexpr const char* kYesButton = N_("はい(&Y)");
inline constexpr const char* kNoButton = N_("いいえ(&N)");
inline constexpr const char* kCancelButton = N_("ｷｬﾝｾﾙ");  // half-width

// Asked when the window is closed while a command runs.
inline constexpr const char* kStopSplitQuestion = N_("ファイルの分割を中止して終了しますか？");
inline constexpr const char* kStopJoinQuestion = N_("ファイルの結合を中止して終了しますか？");

// The About window. The maker's data; the web page address is held apart
// from its label: the browser button opens this constant, never the label.
inline constexpr const char* kAboutCaption = N_("Tolvanixについて");
inline constexpr const char* kAboutHeading = "Tolvanix Ver1.0";
inline constexpr const char* kCopyrightLine = "Copyright (C) 2026 Tolvanix project";  // fits 12 px
inline constexpr const char* kContactAddress = "tolvanix@example.org";
inline constexpr const char* kWebPageAddress = "https://www.example.org/tolvanix/";

// A file handed over on the command line that cannot be taken.
inline constexpr const char* kFileNotFound =
    N_("ファイルが見つかりません。");  // then CR LF, the name
inline constexpr const char* kOneFileOnly = N_("ファイルは1つだけ指定してください。");
inline constexpr const char* kUnknownOption =
    N_("不明なオプションが指定されました。");  // then CR LF, the option

}  // namespace tolvanix
