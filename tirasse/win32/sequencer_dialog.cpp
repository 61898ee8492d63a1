#include "tirasse/win32/sequencer_dialog.h"

#include "tirasse/core/dialog_folders.h"
#include "tirasse/flow/main_flow.h"

namespace tirasse::win32 {

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRunPosted = WM_APP + 7;

std::string folderOf(const std::string& file) {
  const std::size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}
}  // namespace

SequencerDialog::SequencerDialog(int inputDevice, int outputDevice, std::string midDir,
                                 SequencerPorts ports, FileDialog askForFile,
                                 std::function<void(const std::string&)> showMessage, HWND owner)
    : midDir_(std::move(midDir)),
      askForFile_(std::move(askForFile)),
      showMessage_(std::move(showMessage)) {
  createDialog(kSequencerTitle, owner, 180, 100);
  const struct {
    const char* caption;
    int id;
  } buttons[] = {{"Open", OpenButton}, {"Close", CloseButton},   {"Save", SaveButton},
                 {"Stop", StopButton}, {"Play", PlayButton}, {"Record", RecordButton}};
  for (int i = 0; i < 6; ++i) {
    add(L"BUTTON", buttons[i].caption, BS_PUSHBUTTON | WS_TABSTOP, buttons[i].id,
        {7 + (i % 3) * 56, 7 + (i / 3) * 18, 52, 14});
  }
  const struct {
    const char* caption;
    const char* value;
    int id;
  } rows[] = {{"Events:", "0", EventsLabel}, {"Time:", "0:00", TimeLabel}, {"State:", "", StateLabel}};
  for (int i = 0; i < 3; ++i) {
    add(L"STATIC", rows[i].caption, SS_LEFT, -1, {7, 46 + i * 12, 40, 10});
    add(L"STATIC", rows[i].value, SS_LEFT | SS_NOPREFIX, rows[i].id, {50, 46 + i * 12, 120, 10});
  }
  add(L"BUTTON", kAllowControlCaption, BS_AUTOCHECKBOX | WS_TABSTOP, AllowControlBox,
      {7, 84, 166, 10});

  session_ = std::make_unique<SequencerSession>(
      inputDevice, outputDevice, std::move(ports),
      [this](std::function<void()> action) { post(std::move(action)); },
      [this](const std::string& text) { showMessage_(text); });
  SetTimer(hwnd(), kRefreshTimer, 250, nullptr);
  refreshLabels();
}

SequencerDialog::~SequencerDialog() {
  if (hwnd()) KillTimer(hwnd(), kRefreshTimer);
  session_.reset();  // its input is closed: nothing more is posted
  std::lock_guard<std::mutex> lock(postedMutex_);
  posted_.clear();
}

std::string SequencerDialog::stateText() const { return controlText(findControl(hwnd(), StateLabel)); }

void SequencerDialog::post(std::function<void()> action) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(action));
  }
  PostMessageW(hwnd(), kRunPosted, 0, 0);
}

void SequencerDialog::runPosted() {
  std::vector<std::function<void()>> due;
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    due.swap(posted_);
  }
  for (auto& action : due) action();
  refreshLabels();
}

void SequencerDialog::refreshLabels() {
  setControlText(findControl(hwnd(), StateLabel), session_->stateText());
  setControlText(findControl(hwnd(), EventsLabel), session_->eventsText());
  setControlText(findControl(hwnd(), TimeLabel), session_->timeText());
}

void SequencerDialog::open() {
  FileDialogRequest request;
  request.title = "Open MIDI File";
  request.filter = windowsFilter(kMidiFilter);
  request.folder = midDir_;
  const std::optional<std::string> chosen = askForFile_(hwnd(), request);
  if (!chosen) return;
  midDir_ = folderOf(*chosen);
  session_->openFile(*chosen);
}

void SequencerDialog::save() {
  if (!session_->maySave()) return;
  FileDialogRequest request;
  request.save = true;
  request.title = "Save MIDI File";
  request.filter = windowsFilter(kMidiFilter);
  request.folder = midDir_;
  request.defaultExtension = "mid";
  const std::optional<std::string> chosen = askForFile_(hwnd(), request);
  if (!chosen) return;
  const std::string file = withDefaultExtension(*chosen, "mid");
  midDir_ = folderOf(file);
  session_->saveTo(file);
}

void SequencerDialog::command(int id, int code, HWND control) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case OpenButton: open(); break;
    case CloseButton: session_->closeFile(); break;
    case SaveButton: save(); break;
    case StopButton: session_->stop(); break;
    case PlayButton: session_->play(); break;
    case RecordButton: session_->record(); break;
    case AllowControlBox:
      if (!session_->setAllowControl(isTicked(control))) setTicked(control, false);
      break;
    default: return;
  }
  refreshLabels();
}

LRESULT SequencerDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunPosted) {
    runPosted();
    return 0;
  }
  if (message == WM_TIMER && wParam == kRefreshTimer) {
    session_->refresh();
    refreshLabels();
    return 0;
  }
  return DialogWindow::handle(message, wParam, lParam);
}

}  // namespace tirasse::win32
