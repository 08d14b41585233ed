#include "qt/QtHandover.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace tolvanix {

namespace {

std::string Encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Decoded(const std::string& path) { return QFile::decodeName(path.c_str()); }

class QtFacts final : public HandoverFacts {
 public:
  Kind KindOf(const std::string& path) const override {
    const QFileInfo info(Decoded(path));
    return !info.exists() ? Kind::Missing : info.isDir() ? Kind::Folder : Kind::File;
  }
  std::string Absolute(const std::string& path) const override {
    return Encoded(QFileInfo(Decoded(path)).absoluteFilePath());
  }
  std::string PathOfUri(const std::string& uri) const override {
    return Encoded(QUrl(QString::fromUtf8(uri)).toLocalFile());
  }
};

}  // namespace

const HandoverFacts& QtFileFacts() {
  static const QtFacts facts;
  return facts;
}

std::vector<std::string> ArgumentsOf(const QStringList& arguments) {
  std::vector<std::string> all;
  for (qsizetype i = 1; i < arguments.size(); ++i) all.push_back(Encoded(arguments[i]));
  return all;
}

std::vector<std::string> DropEntries(const QMimeData* data) {
  std::vector<std::string> entries;
  if (!data || !data->hasUrls()) return entries;
  for (const QUrl& url : data->urls()) entries.push_back(url.toEncoded().toStdString());
  return entries;
}

}  // namespace tolvanix
