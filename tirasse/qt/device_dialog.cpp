#include "tirasse/qt/device_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace tirasse {

DeviceDialog::DeviceDialog(const QString& task, const QStringList& names, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("Select MIDI device"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(task, this));
  list_->addItems(names);
  list_->setCurrentRow(0);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int DeviceDialog::selectedDevice() const { return list_->currentRow(); }

}  // namespace tirasse
