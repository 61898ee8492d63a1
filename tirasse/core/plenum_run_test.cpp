#include "tirasse/core/plenum_run.h"

#include <gtest/gtest.h>

#include "tirasse/core/waiting_rules.h"

namespace tirasse {
namespace {

// The process layer as a log: what the rules asked for, and timers fired when told.
class FakeProcess : public ProcessControl {
 public:
  std::vector<std::string> calls;
  std::filesystem::path program, folder;
  std::vector<std::string> arguments;
  bool interruptible = true;
  std::vector<std::pair<int, std::function<void()>>> timers;

  void start(const std::filesystem::path& p, const std::vector<std::string>& a,
             const std::filesystem::path& f) override {
    calls.push_back("start");
    program = p;
    arguments = a;
    folder = f;
  }
  void write(const std::string& bytes) override { calls.push_back("write " + bytes); }
  bool interrupt() override {
    calls.push_back("interrupt");
    return interruptible;
  }
  void closeInput() override { calls.push_back("closeInput"); }
  void kill() override { calls.push_back("kill"); }
  void after(int milliseconds, std::function<void()> action) override {
    calls.push_back("after " + std::to_string(milliseconds));
    timers.emplace_back(milliseconds, std::move(action));
  }
  void fireTimers() {
    auto due = std::move(timers);
    timers.clear();
    for (auto& timer : due) timer.second();
  }
};

struct Seen {
  std::string output;
  std::vector<RunOutcome> outcomes;
  int startFailures = 0;
};

class PlenumRunTest : public ::testing::Test {
 protected:
  FakeProcess process_;
  Seen seen_;
  PlenumRun run_{process_, "/opt/tirasse", "/home/o/Norvo firmware",
                 {[this](const std::string& t) { seen_.output += t; },
                  [this](const RunOutcome& o) { seen_.outcomes.push_back(o); },
                  [this] { ++seen_.startFailures; }}};

  PlenumCommand command() const { return {"plenum -i 0 -o 1 -R", {"plenum", "-i", "0", "-o", "1", "-R"}}; }
};

TEST_F(PlenumRunTest, StartsTheProgramOfTheProgramFolderInTheWorkingFolder) {
  ASSERT_TRUE(run_.start(command()));
  EXPECT_TRUE(run_.isBusy());
  EXPECT_EQ(process_.program, std::filesystem::path("/opt/tirasse") / "plenum");
  EXPECT_EQ(process_.arguments, (std::vector<std::string>{"-i", "0", "-o", "1", "-R"}));
  EXPECT_EQ(process_.folder, std::filesystem::path("/home/o/Norvo firmware"));
  // One command at a time; a command without words is no command.
  EXPECT_FALSE(run_.start(command()));
  run_.processEnded(0, false);
  EXPECT_FALSE(run_.start(PlenumCommand{}));
  EXPECT_EQ(process_.calls, std::vector<std::string>{"start"});
}

TEST_F(PlenumRunTest, EnterAndOutputOnlyWhileItRuns) {
  run_.sendEnter();
  run_.outputArrived("stray");
  ASSERT_TRUE(run_.start(command()));
  run_.outputArrived("Progr\xC3");  // a character cut in two arrives whole
  run_.outputArrived("\xA4mming...");
  run_.sendEnter();
  EXPECT_EQ(seen_.output, "Progr\xC3\xA4mming...");
  EXPECT_EQ(process_.calls, (std::vector<std::string>{"start", "write \n"}));
}

TEST_F(PlenumRunTest, HowTheRunEnded) {
  struct Case {
    const char* what;
    bool stop;
    int status;
    bool crashed;
    bool stoppedByUser;
  } cases[] = {
      {"finished", false, 0, false, false},
      {"failed", false, 2, false, false},
      {"crashed", false, 0, true, false},
      {"stopped, ended by itself", true, 0, false, true},
      {"stopped, killed", true, 9, true, true},
  };
  for (const Case& c : cases) {
    seen_.outcomes.clear();
    ASSERT_TRUE(run_.start(command())) << c.what;
    if (c.stop) run_.stop();
    run_.processEnded(c.status, c.crashed);
    ASSERT_EQ(seen_.outcomes.size(), 1u) << c.what;
    EXPECT_EQ(seen_.outcomes[0].stoppedByUser, c.stoppedByUser) << c.what;
    EXPECT_EQ(seen_.outcomes[0].crashed, c.crashed) << c.what;
    EXPECT_EQ(seen_.outcomes[0].exitStatus, c.status) << c.what;
    EXPECT_FALSE(run_.isBusy()) << c.what;
    run_.processEnded(0, false);  // a second report of the same end changes nothing
    EXPECT_EQ(seen_.outcomes.size(), 1u) << c.what;
  }
}

TEST_F(PlenumRunTest, StopInterruptsThenForcesOnlyTheRunThatIsStillGoing) {
  ASSERT_TRUE(run_.start(command()));
  run_.stop();
  EXPECT_EQ(process_.calls, (std::vector<std::string>{"start", "interrupt", "closeInput", "after 3000"}));
  process_.fireTimers();  // plenum did not end within the grace period
  EXPECT_EQ(process_.calls.back(), "kill");

  // Ended in time: the timer of that run does nothing, not even to the next run.
  process_.calls.clear();
  run_.processEnded(0, true);
  ASSERT_TRUE(run_.start(command()));
  run_.stop();
  run_.processEnded(0, false);
  ASSERT_TRUE(run_.start(command()));
  process_.fireTimers();
  EXPECT_EQ(process_.calls, (std::vector<std::string>{"start", "interrupt", "closeInput", "after 3000", "start"}));

  // Not started far enough to interrupt: ended by force at once.
  run_.processEnded(0, false);
  process_.calls.clear();
  process_.interruptible = false;
  ASSERT_TRUE(run_.start(command()));
  run_.stop();
  EXPECT_EQ(process_.calls, (std::vector<std::string>{"start", "interrupt", "kill"}));
}

TEST_F(PlenumRunTest, AFailedStartIsReportedOnceAndFreesTheRunner) {
  ASSERT_TRUE(run_.start(command()));
  run_.processFailedToStart();
  run_.processFailedToStart();
  EXPECT_EQ(seen_.startFailures, 1);
  EXPECT_TRUE(seen_.outcomes.empty());
  EXPECT_FALSE(run_.isBusy());
  EXPECT_TRUE(run_.start(command()));
}

TEST(WaitingRules, HowTheWindowEnds) {
  struct Case {
    const char* what;
    RunOutcome outcome;
    const char* shown;
    const char* appended;
    const char* state;
    bool closes;
    const char* button;
  } cases[] = {
      {"clean", {false, false, 0}, "after enter\n",
       "plenum ended with status 0: it finished normally\n", "Command completed", true,
       "Stop plenum"},
      {"failed, last line open", {false, false, 2}, "Programming...",
       "\nplenum ended with status 2: programming, verifying or sending to the modules failed\n",
       "Command ended", false, "Close"},
      {"console differs", {false, false, 5}, "",
       "plenum ended with status 5: a module differs from the configuration file\n",
       "Command ended", false, "Close"},
      {"module count differs", {false, false, 6}, "",
       "plenum ended with status 6: the loop holds more or fewer modules than the configuration "
       "file defines\n",
       "Command ended", false, "Close"},
      {"unknown status", {false, false, 4}, "", "plenum ended with status 4: a status plenum does "
       "not give\n", "Command ended", false, "Close"},
      {"stopped", {true, false, 0}, "", "plenum was stopped by the user and ended with status 0\n",
       "Command ended", false, "Close"},
      {"crashed", {false, true, 0}, "x\n", "plenum ended abnormally, without an exit status\n",
       "Command ended", false, "Close"},
  };
  for (const Case& c : cases) {
    const RunEnding ending = endingOf(c.shown, c.outcome);
    EXPECT_EQ(ending.appended, c.appended) << c.what;
    EXPECT_EQ(ending.state, c.state) << c.what;
    EXPECT_EQ(ending.closes, c.closes) << c.what;
    EXPECT_EQ(ending.button, c.button) << c.what;
  }
}

TEST(WaitingRules, NothingClosesTheWindowWhilePlenumRuns) {
  EXPECT_EQ(buttonAction(true), WaitingAction::StopPlenum);
  EXPECT_EQ(buttonAction(false), WaitingAction::Close);
  EXPECT_EQ(escapeKeyAction(true), WaitingAction::Nothing);
  EXPECT_EQ(escapeKeyAction(false), WaitingAction::Close);
  EXPECT_EQ(enterKeyAction(), WaitingAction::SendEnter);
  EXPECT_FALSE(mayClose(true));
  EXPECT_TRUE(mayClose(false));
}

}  // namespace
}  // namespace tirasse
