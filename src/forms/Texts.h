// Every text the windows show that is not a notice of the commands: captions,
// button captions, the close question, the About window's lines and the
// notices about a file handed over. Both front ends take them from here.
#pragma once

namespace tolvanix {

// The application title: caption of the main window and of every notice.
inline constexpr char kApplicationTitle[] = "Tolvanix";
inline constexpr char kWarningCaption[] = "警告";

// The boxes' buttons. "&" marks the access key and is not shown.
inline constexpr char kOkButton[] = "OK";
inline constexpr char kYesButton[] = "はい(&Y)";
inline constexpr char kNoButton[] = "いいえ(&N)";
inline constexpr char kCancelButton[] = "ｷｬﾝｾﾙ";  // half-width

// Asked when the window is closed while a command runs.
inline constexpr char kStopSplitQuestion[] = "ファイルの分割を中止して終了しますか？";
inline constexpr char kStopJoinQuestion[] = "ファイルの結合を中止して終了しますか？";

// The About window. The maker's data; the web page address is held apart
// from its label: the browser button opens this constant, never the label.
inline constexpr char kAboutCaption[] = "Tolvanixについて";
inline constexpr char kAboutHeading[] = "Tolvanix Ver1.0";
inline constexpr char kCopyrightLine[] = "Copyright (C) 2026 Tolvanix project";  // fits 12 px
inline constexpr char kContactAddress[] = "tolvanix@example.org";
inline constexpr char kWebPageAddress[] = "https://www.example.org/tolvanix/";

// A file handed over on the command line that cannot be taken.
inline constexpr char kFileNotFound[] = "ファイルが見つかりません。\r\n";  // then the name
inline constexpr char kOneFileOnly[] = "ファイルは1つだけ指定してください。";
inline constexpr char kUnknownOption[] =
    "不明なオプションが指定されました。\r\n";  // then the option

}  // namespace tolvanix
