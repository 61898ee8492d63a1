#pragma once
// The dialog that names a file to write: a name typed without an extension gets the
// extension before the dialog asks about overwriting, so the question is about the file
// that will really be written.

#include <QString>

class QWidget;

namespace tirasse {

// The chosen path, empty on Cancel. `filters` as QFileDialog takes them, ";;" between.
QString askSaveFileName(QWidget* parent, const QString& title, const QString& folder,
                        const QString& filters, const QString& extension);

}  // namespace tirasse
