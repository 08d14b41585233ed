// The command line's own texts, Japanese as written and translated through the
// same catalogue as the windows' ("%s" stands for what Say puts in). The
// commands' notices come from the core.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "i18n/Catalogue.h"

namespace tolvanix::cli {

inline constexpr const char* kProgramName = "tolvanix-cli";

// `text` in the user's language, each "%s" replaced by the next of `args`.
std::string Say(const char* text, std::initializer_list<std::string_view> args = {});

inline constexpr const char* kHelp =
    N_("使い方:\n"
       "  tolvanix-cli split 元ファイル [-s KB] [-o 最初の分割ファイル]\n"
       "  tolvanix-cli join 最初の分割ファイル [-o 結合後のファイル] [--search フォルダー]...\n"
       "  tolvanix-cli check 最初の分割ファイル [--search フォルダー]...\n"
       "ファイルを番号付きの分割ファイル NAME.001, NAME.002, ... に分け、元どおりに結合します。\n"
       "確認の問い合わせはしません。メッセージは標準エラー出力に出ます。\n"
       "\n"
       "コマンド:\n"
       "  split  元ファイルを分割します。分割ファイルは、-o がなければ元ファイルと\n"
       "         同じフォルダーに「元の名前.001」から作られます。\n"
       "  join   分割ファイルを結合します。結合後のファイルは、-o がなければ\n"
       "         最初の分割ファイルに記録された名前で現在のフォルダーに作られます。\n"
       "  check  分割ファイルをすべて読んで確かめます。何も書き込みません。\n"
       "\n"
       "オプション:\n"
       "  -s, --size KB        分割サイズ (KB 単位、既定値 1024)\n"
       "  -o, --output PATH    split: 最初の分割ファイル、join: 結合後のファイル。\n"
       "                       フォルダーを指定すると、その中に既定の名前で作ります。\n"
       "      --search FOLDER  次の分割ファイルが前の分割ファイルと同じ場所にないときに\n"
       "                       探すフォルダー (何度でも指定できます)\n"
       "      --no-checksum    split: チェックサムリスト NAME.sha256 を作りません\n"
       "  -f, --force          既にある出力ファイルを置き換えます\n"
       "  -q, --quiet          進み具合を表示しません\n"
       "  -h, --help           このヘルプを表示します\n"
       "  -v, --version        バージョンを表示します\n"
       "\n"
       "終了コード: 0 成功、1 失敗、2 使い方の誤り、130 Ctrl+C、143 SIGTERM で中止。\n");

// Usage errors; kTryHelp follows each.
inline constexpr const char* kNoCommand = N_("コマンド (split、join、check) を指定してください。");
inline constexpr const char* kUnknownCommand = N_("不明なコマンドです: %s");
inline constexpr const char* kUnknownOption = N_("不明なオプションです: %s");
inline constexpr const char* kNeedsValue = N_("オプション %s には値が必要です。");
inline constexpr const char* kNotForCommand = N_("オプション %s はこのコマンドには使えません。");
inline constexpr const char* kNoFile = N_("ファイルを指定してください。");
inline constexpr const char* kExtraArgument = N_("余分な引数です: %s");
inline constexpr const char* kBadSize = N_("分割サイズは KB 単位の整数で指定してください: %s");
inline constexpr const char* kTryHelp = N_("使い方は tolvanix-cli --help で表示されます。");

// What the window would have asked the user: here, what to give instead.
inline constexpr const char* kOutputExists =
    N_("%s は既にあります。置き換えるには --force を指定してください。");
inline constexpr const char* kNoStoredName =
    N_("最初の分割ファイルに元のファイル名が記録されていません。-o で結合後のファイル名を指定してく"
       "ださい。");
inline constexpr const char* kLowSpace =
    N_("%s に分割ファイル 1 つ分 (%s KB) の空き容量がありません。空き容量を増やすか、-o で別の場所"
       "を、-s で小さい分割サイズを指定してください。");
inline constexpr const char* kPieceMissing =
    N_("分割ファイル %s が見つかりません。そのファイルがあるフォルダーを --search で指定してくださ"
       "い。");

// `check`: its report on standard output, a row per piece (its path, its
// length, then whether the length and the checksum hold).
inline constexpr const char* kChecking = N_("分割ファイルを確認中です。");
inline constexpr const char* kStoredName = N_("元のファイル名: %s");
inline constexpr const char* kPieceCount = N_("分割ファイルの数: %s");
inline constexpr const char* kPieceBytes = N_("分割サイズ: %s バイト");
inline constexpr const char* kListUsed = N_("チェックサムファイル: %s");
inline constexpr const char* kNoList = N_("チェックサムファイル: なし");
inline constexpr const char* kPieceNotFound = N_("見つかりません");
inline constexpr const char* kLengthHolds = N_("長さ OK");
inline constexpr const char* kLengthWrong = N_("長さが不正");
inline constexpr const char* kSumMatches = N_("チェックサム OK");
inline constexpr const char* kSumDiffers = N_("チェックサム不一致");
inline constexpr const char* kSumUnread = N_("読み込み失敗");
inline constexpr const char* kSetBroken = N_("分割ファイルに問題があります。");

// The progress line on a terminal: "%s" is the time left, as 1:05.
inline constexpr const char* kTimeLeft = N_("残り %s");

}  // namespace tolvanix::cli
