#include "tirasse/qt/save_file_dialog.h"

#include <QFileDialog>

#include "tirasse/core/dialog_folders.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

QString askSaveFileName(QWidget* parent, const QString& title, const QString& folder,
                        const QString& filters, const QString& extension) {
  QFileDialog dialog(parent, title, folder);
  dialog.setNameFilters(filters.split(QStringLiteral(";;")));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(extension);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return qtext(withDefaultExtension(utf8(dialog.selectedFiles().first()), utf8(extension)));
}

}  // namespace tirasse
