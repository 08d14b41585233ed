// The hand-over's Qt side: what a path is and where it lies, through
// QFileInfo; what a file: URI names, through QUrl; the arguments and a drop's
// entries as the shared rules read them (forms/Handover.h).
#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "forms/Handover.h"

class QMimeData;

namespace tolvanix {

const HandoverFacts& QtFileFacts();

// As QCoreApplication::arguments() gives them, the program's name left out.
std::vector<std::string> ArgumentsOf(const QStringList& arguments);

// Each URL of a drop; none when it holds no URL (a text alone is no file).
std::vector<std::string> DropEntries(const QMimeData* data);

}  // namespace tolvanix
