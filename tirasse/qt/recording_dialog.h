#pragma once
// "Recording": shows the recording session and asks where its take goes.

#include <QDialog>
#include <functional>

#include "tirasse/flow/recording_session.h"

class QLabel;
class QTimer;

namespace tirasse {

class RecordingDialog : public QDialog {
  Q_OBJECT
 public:
  RecordingDialog(int inputDevice, QString& midDir, std::function<void(const QString&)> showMessage,
                  QWidget* parent = nullptr);
  bool isReady() const { return session_.isReady(); }

 private:
  void save();
  void refresh();

  QString& midDir_;
  RecordingSession session_;
  QLabel* events_;
  QLabel* elapsed_;
  QTimer* timer_;
};

}  // namespace tirasse
