#pragma once
// "Select MIDI device": the list of device names, the first selected.

#include <QDialog>

class QListWidget;

namespace tirasse {

class DeviceDialog : public QDialog {
  Q_OBJECT
 public:
  DeviceDialog(const QString& task, const QStringList& names, QWidget* parent = nullptr);
  int selectedDevice() const;

 private:
  QListWidget* list_;
};

}  // namespace tirasse
