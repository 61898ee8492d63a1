#pragma once
// "Recording" without its widgets: records what arrives on the input device from the moment
// the window opens, and saves the take as a type 0 MIDI file. Save ends the take; while the
// user chooses a file, or after a file could not be written, the take is kept for another try.

#include <functional>
#include <memory>
#include <string>

#include "tirasse/midi/midi_recorder.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

inline constexpr const char* kRecordingTitle = "Recording";
inline constexpr const char* kSaveMidiFileTitle = "Save MIDI File";

class RecordingSession {
 public:
  // Opens the input and starts recording; isReady() says whether that worked.
  RecordingSession(int inputDevice, const InputPortOpener& openInput,
                   std::function<void(const std::string&)> showMessage);
  RecordingSession(const RecordingSession&) = delete;
  RecordingSession& operator=(const RecordingSession&) = delete;

  bool isReady() const { return ready_; }
  // What the window shows four times a second.
  std::string eventsText() const;
  std::string timeText() const;

  // Save was pressed: nothing more is recorded.
  void finish();
  // Writes the take to `file` (".mid" added when the name has none). On success `midDir`
  // becomes the file's folder; on failure the message names the file and the take stays.
  bool saveTo(const std::string& file, std::string& midDir);

 private:
  std::function<void(const std::string&)> showMessage_;
  MidiRecorder recorder_;
  // After the recorder, so it closes first: no message arrives into a recorder gone.
  std::unique_ptr<MidiInput> input_;
  bool ready_ = false;
};

}  // namespace tirasse
