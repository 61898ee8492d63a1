#include "tirasse/core/run_outcome.h"

namespace tirasse {

namespace {

// What plenum's exit statuses stand for.
QString meaningOf(int status) {
  switch (status) {
    case 0:
      return QStringLiteral("it finished normally");
    case 1:
      return QStringLiteral("it stopped on an error, see its messages above");
    case 2:
      return QStringLiteral("programming, verifying or sending to the modules failed");
    case 3:
      return QStringLiteral("an option was not understood");
    default:
      return QStringLiteral("a status plenum does not give");
  }
}

}  // namespace

QString describeOutcome(const RunOutcome& outcome) {
  if (outcome.stoppedByUser) {
    if (outcome.crashed) return QStringLiteral("plenum was stopped by the user");
    return QStringLiteral("plenum was stopped by the user and ended with status %1")
        .arg(outcome.exitStatus);
  }
  if (outcome.crashed) return QStringLiteral("plenum ended abnormally, without an exit status");
  return QStringLiteral("plenum ended with status %1: %2")
      .arg(outcome.exitStatus)
      .arg(meaningOf(outcome.exitStatus));
}

QString outcomeAfter(const QString& shownOutput, const RunOutcome& outcome) {
  // plenum's progress characters often leave the last line open.
  const bool lineOpen = !shownOutput.isEmpty() && !shownOutput.endsWith(QLatin1Char('\n'));
  return (lineOpen ? QStringLiteral("\n") : QString()) + describeOutcome(outcome) +
         QLatin1Char('\n');
}

}  // namespace tirasse
