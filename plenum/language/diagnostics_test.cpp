#include "plenum/language/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "plenum/language/compiler_context.h"
#include "plenum/runtime/exits.h"

void yyerror(const char* message);

namespace plenum {
namespace {

class Diagnostics : public testing::Test {
 protected:
  void SetUp() override {
    scope.context().setFileName("organ.cfg");
    scope.context().line = 7;
  }
  SourceLocation at(int line) { return SourceLocation{scope.context().fileName(), line}; }

  // Runs `report` and returns the exit status it requested, or -1 when it returned.
  template <typename F>
  int statusOf(F report) {
    try {
      report();
    } catch (const ExitRequest& request) {
      return request.status;
    }
    return -1;
  }

  CompilerContextScope scope;
};

TEST_F(Diagnostics, CountedReportsAreFileLineMessageOnStandardOutput) {
  testing::internal::CaptureStdout();
  reportAtLocation(at(3), "Channel out of range");
  reportAtf(at(4), "Trying to redefine '%s'", "Swell");
  reportHere("Bad note");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:3: Channel out of range\n"
            "organ.cfg:4: Trying to redefine 'Swell'\n"
            "organ.cfg:7: Bad note\n");
  EXPECT_EQ(scope.context().diagnosticCount, 3);
  EXPECT_EQ(currentPosition(), "organ.cfg:7");
}

TEST_F(Diagnostics, TheSixthCountedErrorEndsTheRunUnprinted) {
  testing::internal::CaptureStdout();
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(statusOf([&] { reportAtf(at(i), "error %d", i); }), -1);
  }
  EXPECT_EQ(statusOf([&] { reportAtLocation(at(6), "error 6"); }), 1);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 5);
  EXPECT_EQ(out.find("error 6"), std::string::npos);
}

TEST_F(Diagnostics, SyntaxErrorsCountOnStandardErrorAndNeverEndTheRunThemselves) {
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  for (int i = 0; i < 7; ++i) reportSyntaxError("syntax error");
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(scope.context().diagnosticCount, 7);
  EXPECT_EQ(errors.substr(0, 27), "organ.cfg:7: syntax error\no");
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 7);
}

TEST_F(Diagnostics, ASemanticErrorAfterFiveSyntaxErrorsEndsTheRunUnprinted) {
  testing::internal::CaptureStderr();
  for (int i = 0; i < 5; ++i) reportSyntaxError("syntax error");
  testing::internal::GetCapturedStderr();
  testing::internal::CaptureStdout();
  EXPECT_EQ(statusOf([] { reportHere("Identifier 'x' not defined"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Diagnostics, TheParserLimitIsShownButNotCounted) {
  testing::internal::CaptureStderr();
  yyerror("memory exhausted");
  yyerror("syntax error, unexpected INT, expecting ID");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "organ.cfg:7: memory exhausted\n"
            "organ.cfg:7: syntax error, unexpected INT, expecting ID\n");
  EXPECT_EQ(scope.context().diagnosticCount, 1);
}

TEST(FormatText, GrowsToAnyLength) {
  std::string longName(5000, 'x');
  EXPECT_EQ(formatText("<%s>", longName.c_str()), "<" + longName + ">");
  EXPECT_EQ(formatText("%d:%04x", 12, 0xab), "12:00ab");
}

}  // namespace
}  // namespace plenum
