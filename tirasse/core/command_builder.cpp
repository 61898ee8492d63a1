#include "tirasse/core/command_builder.h"

#include <QProcess>

namespace tirasse {

namespace {

constexpr unsigned kNoDebug = 0;
constexpr unsigned kProgressDebug = 0x1;
constexpr unsigned kComparisonDebug = 0x80;

// Stands for the file inside command-line text: a private-use character that no typed
// text or path holds.
const QString kFileMarker = QString(QChar(0xE000));

}  // namespace

QString applyNetworkPathRule(const QString& path) {
  if (path.startsWith(QStringLiteral("\\\\"))) return QStringLiteral("\\\\") + path;
  return path;
}

QString quotedFilePart(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

PlenumCommand CommandBuilder::commandLine(const QString& arguments, const QString& shownFile,
                                          const QString& passedFile) const {
  const QString program =
      options_.keepWindowOpen ? QStringLiteral("plenum.bat") : QStringLiteral("plenum");
  const QString devices = QStringLiteral(" -i ") + QString::number(options_.midiInDev) +
                          QStringLiteral(" -o ") + QString::number(options_.midiOutDev) +
                          QLatin1Char(' ');
  PlenumCommand command;
  command.line = program + devices + arguments;
  command.line.replace(kFileMarker, quotedFilePart(shownFile));
  command.words = QStringList{program} + QProcess::splitCommand(devices + arguments);
  for (QString& word : command.words) {
    if (word == kFileMarker) word = passedFile;
  }
  return command;
}

bool isModuleNumber(const QString& text) {
  const QString word = text.trimmed();
  qsizetype first = (word.startsWith(QLatin1Char('+')) || word.startsWith(QLatin1Char('-'))) ? 1 : 0;
  if (first == word.size()) return false;
  for (qsizetype i = first; i < word.size(); ++i) {
    const QChar c = word.at(i);
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;  // Latin digits only
  }
  bool inRange = false;
  (void)word.toInt(&inRange, 10);
  return inRange;
}

bool CommandBuilder::moduleBoxAccepted() const {
  return !options_.startAtModule || isModuleNumber(options_.moduleText);
}

QString CommandBuilder::modulePart() const {
  QString part;
  if (options_.startAtModule) part = QStringLiteral(" -m") + options_.moduleText;
  return part + QLatin1Char(' ') + options_.otherOptions;
}

QString CommandBuilder::debugPart(unsigned startValue) const {
  const unsigned value = startValue | options_.debugBoxes;
  if (value == 0) return {};
  return QStringLiteral(" -d") + QString::number(value, 16).toUpper();
}

PlenumCommand CommandBuilder::download(const QString& configFile) const {
  const QString update = options_.skipUnchangedRelayCode ? QStringLiteral(" -u") : QString();
  // The network-path rule is for a command line that a shell splits; the list passes the
  // path as it is.
  return commandLine(modulePart() + debugPart(kNoDebug) + update + QStringLiteral(" -P ") +
                         kFileMarker,
                     applyNetworkPathRule(configFile), configFile);
}

PlenumCommand CommandBuilder::version() const { return commandLine(QStringLiteral("-P -V")); }
PlenumCommand CommandBuilder::reset() const { return commandLine(QStringLiteral("-R")); }
PlenumCommand CommandBuilder::monitor() const { return commandLine(QStringLiteral("-L")); }

PlenumCommand CommandBuilder::halt() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -H"));
}

PlenumCommand CommandBuilder::run() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -E"));
}

PlenumCommand CommandBuilder::programExecutive() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -P -%"));
}

PlenumCommand CommandBuilder::verifyExecutive() const {
  return commandLine(modulePart() + debugPart(kProgressDebug) + QStringLiteral(" -P -v"));
}

PlenumCommand CommandBuilder::dataDiagnostic(bool displayComparison,
                                             const QString& repeatCount) const {
  const unsigned start = displayComparison ? kComparisonDebug : kNoDebug;
  return commandLine(debugPart(start) + QStringLiteral(" -P -D") + repeatCount);
}

QString CommandBuilder::registrationArguments(const MemoryRange* range, const char* option) const {
  QString arguments = options_.otherOptions;
  if (range) {
    arguments += QStringLiteral(" -m") + QString::number(range->from) + QStringLiteral(" -n ") +
                 QString::number(range->count());
  }
  return arguments + debugPart(kProgressDebug) + QLatin1String(option) + kFileMarker;
}

PlenumCommand CommandBuilder::saveRegistration(const MemoryRange* range,
                                               const QString& file) const {
  return commandLine(registrationArguments(range, " -P -S "), file, file);
}

PlenumCommand CommandBuilder::loadRegistration(const MemoryRange* range,
                                               const QString& file) const {
  return commandLine(registrationArguments(range, " -P -U "), file, file);
}

PlenumCommand CommandBuilder::copyRegistration(int sourceMemory, const MemoryRange& targets) const {
  return commandLine(options_.otherOptions + QStringLiteral(" -m") +
                     QString::number(targets.from) + QStringLiteral(" -n ") +
                     QString::number(targets.count()) + debugPart(kProgressDebug) +
                     QStringLiteral(" -P -C") + QString::number(sourceMemory));
}

}  // namespace tirasse
