#pragma once
// "Copy Registration": one source memory copied into a range of target memories.

#include <QDialog>

#include "tirasse/core/command_builder.h"

class QLineEdit;

namespace tirasse {

class CopyRegistrationDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CopyRegistrationDialog(QWidget* parent = nullptr);
  int sourceMemory() const;
  MemoryRange targets() const;  // limited and ordered, whatever was typed

  QLineEdit* sourceBox() const { return source_; }
  QLineEdit* fromBox() const { return from_; }
  QLineEdit* throughBox() const { return through_; }

 private:
  QLineEdit* source_;
  QLineEdit* from_;
  QLineEdit* through_;
};

}  // namespace tirasse
