#include "ui/CommandLine.h"

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
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Splits a file into numbered pieces and joins them back.\n"
                     "A FILE whose name ends in .001 is joined; any other FILE is split."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("The file to split or the first piece to join: "
                                              "a path or a file:// URI."),
                               QStringLiteral("[FILE]"));

  if (!parser.parse(arguments)) {
    return Refused(parser.errorText(),
                   QString::fromUtf8(kUnknownOption) + UnknownOption(arguments));
  }
  CommandLine line;
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    line.action = CommandLine::Action::Exit;
    line.output = parser.helpText();
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
                   QString::fromUtf8(kOneFileOnly));
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
                   QString::fromUtf8(kFileNotFound) + named);
  }
  line.action = CommandLine::Action::Open;
  line.file = info.absoluteFilePath();
  return line;
}

}  // namespace tolvanix
