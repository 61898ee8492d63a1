#include "tirasse/win32/plenum_process.h"

#include <gtest/gtest.h>

#include <optional>

#include "tirasse/win32/wide_text.h"
#include "tirasse/win32/window_test_support.h"

namespace tirasse::win32 {
namespace {



constexpr UINT kMessage = WM_APP + 7;

// A message-only window that hands the process's notifications back to it.
class ProcessHost {
 public:
  explicit ProcessHost(const std::string& folder) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ProcessTestHost";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"ProcessTestHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    PlenumRun::Listener listener;
    listener.output = [this](const std::string& text) { output += text; };
    listener.finished = [this](const RunOutcome& ending) { outcome = ending; };
    listener.startFailed = [this] { startFailed = true; };
    process = std::make_unique<PlenumProcess>(folder, window_, kMessage, std::move(listener));
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(process.get()));
  }
  ~ProcessHost() {
    process.reset();
    DestroyWindow(window_);
  }
  std::unique_ptr<PlenumProcess> process;
  std::string output;
  std::optional<RunOutcome> outcome;
  bool startFailed = false;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* process = reinterpret_cast<PlenumProcess*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kMessage && process) {
      process->notified(wParam);
      return 0;
    }
    if (message == WM_TIMER && process && process->timerFired(wParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_;
};

PlenumCommand command(std::vector<std::string> words) {
  return {"", std::move(words)};
}

class PlenumProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::copyFile(testing::hostPath(RECORDING_PLENUM), folder_.text("plenum.exe"));
  }
  void TearDown() override { SetEnvironmentVariableW(L"STANDIN_SCRIPT", nullptr); }
  TestScratchFolder folder_;
};

TEST_F(PlenumProcessTest, OutputArrivesWhileItRunsAndEnterEndsIt) {
  ProcessHost host(folder_.text());
  ASSERT_TRUE(host.process->start(command({"plenum", "-x", "Übung é", "\xF0\x9D\x84\x9E"})));
  EXPECT_FALSE(host.process->start(command({"plenum"})));  // one run at a time
  ASSERT_TRUE(testing::waitFor([&] { return host.output.find("[\xF0\x9D\x84\x9E]\n") != std::string::npos; }));
  EXPECT_TRUE(host.process->isBusy());
  EXPECT_FALSE(host.outcome);
  host.process->sendEnter();
  ASSERT_TRUE(testing::waitFor([&] { return host.outcome.has_value(); }));
  EXPECT_EQ(host.output,
            "args: -x Übung é \xF0\x9D\x84\x9E\n[-x][Übung é][\xF0\x9D\x84\x9E]\nafter enter\n");
  EXPECT_EQ(host.outcome->exitStatus, 0);
  EXPECT_FALSE(host.outcome->stoppedByUser);
  EXPECT_FALSE(host.process->isBusy());
  EXPECT_NE(testing::readFile(folder_.text("recorded.txt")).find("cwd " + folder_.text() + "\n"),
            std::string::npos);
}

TEST_F(PlenumProcessTest, TheExitStatusIsPassedOn) {
  SetEnvironmentVariableW(L"STANDIN_SCRIPT", L"fail");
  ProcessHost host(folder_.text());
  ASSERT_TRUE(host.process->start(command({"plenum", "-R"})));
  ASSERT_TRUE(testing::waitFor([&] { return host.outcome.has_value(); }));
  EXPECT_EQ(host.output, "Programming...");
  EXPECT_EQ(host.outcome->exitStatus, 2);
  EXPECT_FALSE(host.outcome->crashed);
}

TEST_F(PlenumProcessTest, StopEndsARunThatWaitsForInput) {
  ProcessHost host(folder_.text());
  ASSERT_TRUE(host.process->start(command({"plenum", "-P", "-V"})));
  ASSERT_TRUE(testing::waitFor([&] { return host.output.find("args:") != std::string::npos; }));
  host.process->stop();
  ASSERT_TRUE(testing::waitFor([&] { return host.outcome.has_value(); }));
  EXPECT_TRUE(host.outcome->stoppedByUser);
}

TEST_F(PlenumProcessTest, ARunThatIgnoresStopIsEndedByForceAfterTheGracePeriod) {
  SetEnvironmentVariableW(L"STANDIN_SCRIPT", L"hang");
  ProcessHost host(folder_.text());
  ASSERT_TRUE(host.process->start(command({"plenum", "-L"})));
  ASSERT_TRUE(testing::waitFor([&] { return host.output.find("args:") != std::string::npos; }));
  host.process->stop();
  ASSERT_TRUE(testing::waitFor([&] { return host.outcome.has_value(); }, 20000));
  EXPECT_TRUE(host.outcome->stoppedByUser);
  EXPECT_TRUE(host.outcome->crashed);
  EXPECT_FALSE(host.process->isBusy());
}

TEST_F(PlenumProcessTest, AMissingProgramFailsToStart) {
  ProcessHost host(folder_.text());
  host.process->start(command({"nothing-here"}));
  EXPECT_TRUE(host.startFailed);
  EXPECT_FALSE(host.process->isBusy());
  EXPECT_FALSE(host.outcome);
}

TEST(ProcessCommand, TheBatchFileRunsThroughTheInterpreterWithItsWordsQuoted) {
  const ProcessCommand viaBatch =
      processCommand(L"C:\\Program Files\\plenum\\plenum.bat", {L"-i", L"0", L"-P", L"C:\\Orgel & Co\\a.ncf"},
                     L"C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(viaBatch.application, L"C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(viaBatch.commandLine,
            L"C:\\windows\\system32\\cmd.exe /d /s /c \"\"C:\\Program Files\\plenum\\plenum.bat\" -i 0 -P "
            L"\"C:\\Orgel & Co\\a.ncf\"\"");
  const ProcessCommand direct = processCommand(L"C:\\p\\plenum", {L"-V"}, L"cmd.exe");
  EXPECT_EQ(direct.application, L"C:\\p\\plenum.exe");
  EXPECT_EQ(direct.commandLine, L"C:\\p\\plenum.exe -V");
}

}  // namespace
}  // namespace tirasse::win32
