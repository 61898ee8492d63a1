#include "tirasse/qt/copy_registration_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "tirasse/core/memory_range.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

CopyRegistrationDialog::CopyRegistrationDialog(QWidget* parent)
    : QDialog(parent),
      source_(new QLineEdit(QStringLiteral("0"), this)),
      from_(new QLineEdit(QStringLiteral("1"), this)),
      through_(new QLineEdit(QStringLiteral("127"), this)) {
  setWindowTitle(QStringLiteral("Copy Registration"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Copy memory:"), source_);
  form->addRow(QStringLiteral("To memories from:"), from_);
  form->addRow(QStringLiteral("through:"), through_);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Note: Memories are numbered starting with zero."), this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  connect(source_, &QLineEdit::editingFinished, this,
          [this] { source_->setText(QString::number(clampMemoryNumber(utf8(source_->text())))); });
  const auto show = [this](const MemoryRange& range) {
    from_->setText(QString::number(range.from));
    through_->setText(QString::number(range.through));
  };
  connect(from_, &QLineEdit::editingFinished, this,
          [this, show] { show(afterFromEdited(utf8(from_->text()), utf8(through_->text()))); });
  connect(through_, &QLineEdit::editingFinished, this,
          [this, show] { show(afterThroughEdited(utf8(from_->text()), utf8(through_->text()))); });
}

int CopyRegistrationDialog::sourceMemory() const {
  return clampMemoryNumber(utf8(source_->text()));
}

MemoryRange CopyRegistrationDialog::targets() const {
  return afterFromEdited(utf8(from_->text()), utf8(through_->text()));
}

}  // namespace tirasse
