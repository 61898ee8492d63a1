#include "tirasse/core/dialog_folders.h"

#include <QDir>
#include <QFileInfo>

namespace tirasse {

QString dialogStartFolder(const QString& lastUsed, const QString& documentsDir,
                          const QString& programDir) {
  const QString program =
      programDir.isEmpty() ? QString() : QFileInfo(programDir).absoluteFilePath();
  for (const QString& folder : {lastUsed, documentsDir}) {
    if (folder.isEmpty()) continue;
    const QFileInfo info(folder);
    if (info.isDir() && info.absoluteFilePath() != program) return info.absoluteFilePath();
  }
  return QDir::homePath();
}

QString withDefaultExtension(const QString& path, const QString& extension) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + (path.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) + extension;
}

}  // namespace tirasse
