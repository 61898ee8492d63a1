#include "tirasse/flow/recording_session.h"

#include "tirasse/core/dialog_folders.h"
#include "tirasse/core/time_text.h"
#include "tirasse/core/utf8_path.h"

namespace tirasse {

RecordingSession::RecordingSession(int inputDevice, const InputPortOpener& openInput,
                                   std::function<void(const std::string&)> showMessage)
    : showMessage_(std::move(showMessage)) {
  recorder_.start();
  try {
    input_ = openInput(inputDevice, [this](const Bytes& message) { recorder_.add(message); });
  } catch (const std::exception&) {
    recorder_.stop();
    showMessage_("Oops, the MIDI device is already open");
    return;
  }
  ready_ = true;
}

std::string RecordingSession::eventsText() const { return std::to_string(recorder_.eventCount()); }

std::string RecordingSession::timeText() const {
  return minutesAndSeconds(static_cast<long long>(recorder_.elapsedSeconds() * 1000));
}

void RecordingSession::finish() {
  recorder_.stop();
  input_.reset();
}

bool RecordingSession::saveTo(const std::string& chosen, std::string& midDir) {
  finish();
  const std::string file = withDefaultExtension(chosen, "mid");
  try {
    writeMidiFileType0(file, recorder_.toMidiFile());
  } catch (const MidiFileError& error) {
    showMessage_(file + " was not saved: " + error.what());
    return false;
  }
  midDir = pathToUtf8(pathFromUtf8(absoluteCleanPath(file)).parent_path());
  return true;
}

}  // namespace tirasse
