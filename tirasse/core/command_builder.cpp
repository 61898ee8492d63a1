#include "tirasse/core/command_builder.h"

namespace tirasse {

namespace {

constexpr unsigned kNoDebug = 0;
constexpr unsigned kProgressDebug = 0x1;
constexpr unsigned kComparisonDebug = 0x80;

}  // namespace

QString applyNetworkPathRule(const QString& path) {
  if (path.startsWith(QStringLiteral("\\\\"))) return QStringLiteral("\\\\") + path;
  return path;
}

QString quotedFilePart(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

QString CommandBuilder::commandLine(const QString& arguments) const {
  const QString program =
      options_.keepWindowOpen ? QStringLiteral("plenum.bat") : QStringLiteral("plenum");
  return program + QStringLiteral(" -i ") + QString::number(options_.midiInDev) +
         QStringLiteral(" -o ") + QString::number(options_.midiOutDev) + QLatin1Char(' ') +
         arguments;
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

QString CommandBuilder::download(const QString& configFile) const {
  const QString update = options_.skipUnchangedRelayCode ? QStringLiteral(" -u") : QString();
  return commandLine(modulePart() + debugPart(kNoDebug) + update + QStringLiteral(" -P ") +
                     quotedFilePart(applyNetworkPathRule(configFile)));
}

QString CommandBuilder::version() const { return commandLine(QStringLiteral("-P -V")); }
QString CommandBuilder::reset() const { return commandLine(QStringLiteral("-R")); }
QString CommandBuilder::monitor() const { return commandLine(QStringLiteral("-L")); }

QString CommandBuilder::halt() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -H"));
}

QString CommandBuilder::run() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -E"));
}

QString CommandBuilder::programExecutive() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + QStringLiteral(" -P -%"));
}

QString CommandBuilder::verifyExecutive() const {
  return commandLine(modulePart() + debugPart(kProgressDebug) + QStringLiteral(" -P -v"));
}

QString CommandBuilder::dataDiagnostic(bool displayComparison, const QString& repeatCount) const {
  const unsigned start = displayComparison ? kComparisonDebug : kNoDebug;
  return commandLine(debugPart(start) + QStringLiteral(" -P -D") + repeatCount);
}

QString CommandBuilder::registrationArguments(const MemoryRange* range, const char* option,
                                              const QString& file) const {
  QString arguments = options_.otherOptions;
  if (range) {
    arguments += QStringLiteral(" -m") + QString::number(range->from) + QStringLiteral(" -n ") +
                 QString::number(range->count());
  }
  return arguments + debugPart(kProgressDebug) + QLatin1String(option) + quotedFilePart(file);
}

QString CommandBuilder::saveRegistration(const MemoryRange* range, const QString& file) const {
  return commandLine(registrationArguments(range, " -P -S ", file));
}

QString CommandBuilder::loadRegistration(const MemoryRange* range, const QString& file) const {
  return commandLine(registrationArguments(range, " -P -U ", file));
}

QString CommandBuilder::copyRegistration(int sourceMemory, const MemoryRange& targets) const {
  return commandLine(options_.otherOptions + QStringLiteral(" -m") +
                     QString::number(targets.from) + QStringLiteral(" -n ") +
                     QString::number(targets.count()) + debugPart(kProgressDebug) +
                     QStringLiteral(" -P -C") + QString::number(sourceMemory));
}

}  // namespace tirasse
