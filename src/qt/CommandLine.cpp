#include "qt/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "forms/Texts.h"

namespace tolvanix {

namespace {

// A file:// URL as a path: "localhost" is this machine; another host is kept
// in front ("//host/path"), which names no local file.
QString LocalPath(QUrl url) {
  if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) url.setHost({});
  return url.toLocalFile();
}

// The first argument before "--" that looks like an option and is none of ours.
QString UnknownOption(const QStringList& arguments) {
  static const QStringList known{QStringLiteral("-h"), QStringLiteral("--help"),
                                 QStringLiteral("--help-all"), QStringLiteral("-v"),
                                 QStringLiteral("--version")};
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == QLatin1String("--")) break;
    if (a.size() > 1 && a.startsWith(u'-') && !known.contains(a)) return a;
  }
  return {};
}

const char* const kHelp =
    N_("使い方: tolvanix [オプション] [FILE]\n"
       "ファイルを番号付きの分割ファイルに分け、元どおりに結合します。\n"
       "名前が .001 で終わる FILE は結合し、それ以外の FILE は分割します。\n"
       "\n"
       "オプション:\n"
       "  -h, --help     このヘルプを表示します。\n"
       "  -v, --version  バージョンを表示します。\n"
       "\n"
       "引数:\n"
       "  FILE           分割するファイル、または結合する最初の分割ファイル\n"
       "                 (パスまたは file:// URI)。\n");

// Refused arguments: the message for standard error stays in English, as the
// toolkit's own ones are; the notice is in the program's language.
CommandLine Refused(QString error, QString notice) {
  CommandLine line;
  line.error = std::move(error);
  line.notice = std::move(notice);
  return line;
}

}  // namespace

QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls[0].isLocalFile()) return {};
  const QFileInfo info(LocalPath(urls[0]));
  if (!info.exists() || info.isDir()) return {};
  return info.absoluteFilePath();
}

CommandLine ReadCommandLine(const QStringList& arguments) {
  // Our own options and help text rather than Qt's, so that --help reads in
  // the program's language, whole.
  QCommandLineParser parser;
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  QCommandLineOption helpAll(QStringLiteral("help-all"), QString());
  helpAll.setFlags(QCommandLineOption::HiddenFromHelp);
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
  parser.addOptions({help, helpAll, version});
  parser.addPositionalArgument(QStringLiteral("FILE"), QString(), QStringLiteral("[FILE]"));

  if (!parser.parse(arguments)) {
    return Refused(parser.errorText(), QString::fromUtf8(Tr(kUnknownOption)) +
                                           QStringLiteral("\r\n") + UnknownOption(arguments));
  }
  CommandLine line;
  if (parser.isSet(help) || parser.isSet(helpAll)) {
    line.action = CommandLine::Action::Exit;
    line.output = QString::fromUtf8(Tr(kHelp));
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::Exit;
    line.output =
        QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    return line;
  }

  const QStringList files = parser.positionalArguments();
  if (files.isEmpty()) return line;
  if (files.size() > 1) {
    return Refused(QStringLiteral("one file at a time, not %1").arg(files.size()),
                   QString::fromUtf8(Tr(kOneFileOnly)));
  }
  const QString& given = files[0];
  const QString path = given.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)
                           ? LocalPath(QUrl(given))
                           : given;
  const QFileInfo info(path);
  // A dangling link is no file either; a folder, FIFO or device goes on to
  // the command, which refuses it as it does when chosen in its dialog.
  if (path.isEmpty() || !info.exists()) {
    const QString named = path.isEmpty() ? given : path;
    return Refused(named + QStringLiteral(": No such file or directory"),
                   QString::fromUtf8(Tr(kFileNotFound)) + QStringLiteral("\r\n") + named);
  }
  line.action = CommandLine::Action::Open;
  line.file = info.absoluteFilePath();
  return line;
}

}  // namespace tolvanix
