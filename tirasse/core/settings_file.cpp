#include "tirasse/core/settings_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace tirasse {

namespace {

constexpr qint64 kLargestSettingsFile = 64 * 1024;
constexpr int kSpecItems = 8;  // the items after the format tag
const QString kSkipUnchangedKey = QStringLiteral("skipUnchangedRelayCode=");

int deviceNumber(const QString& text) {
  bool ok = false;
  const int number = text.trimmed().toInt(&ok);
  return ok && number >= 0 ? number : -1;
}

// One item a line: a line break inside a value would shift every later item.
QString oneLine(const QString& value) {
  QString line = value;
  line.replace(QLatin1Char('\r'), QLatin1Char(' '));
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return line;
}

QString absoluteFolderOr(const QString& folder, const QString& fallback) {
  if (folder.isEmpty()) return fallback;
  const QDir dir(folder);
  return dir.exists() ? dir.absolutePath() : fallback;
}

}  // namespace

SettingsFileState parseSettingsText(const QString& text, TirasseSettings& settings) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);  // written on Windows
  }
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();  // the final line end
  const QString tag = lines.value(0).trimmed();
  if (tag != QLatin1String("V2") && tag != QLatin1String("V3")) return SettingsFileState::Foreign;

  TirasseSettings read = settings;
  const int items = tag == QLatin1String("V3") ? kSpecItems : 5;
  auto item = [&](int index, QString& into) {
    if (index <= items && index < lines.size()) into = lines[index];
  };
  if (lines.size() > 1) read.midiInDev = deviceNumber(lines[1]);
  item(2, read.midiInName);
  if (lines.size() > 3) read.midiOutDev = deviceNumber(lines[3]);
  item(4, read.midiOutName);
  item(5, read.configFile);
  item(6, read.settingsDir);
  item(7, read.midDir);
  item(8, read.configDir);
  for (int index = kSpecItems + 1; tag == QLatin1String("V3") && index < lines.size(); ++index) {
    if (lines[index].startsWith(kSkipUnchangedKey)) {
      read.skipUnchangedRelayCode = lines[index].mid(kSkipUnchangedKey.size()).trimmed() == QLatin1String("1");
    }
  }
  settings = read;
  return SettingsFileState::Read;
}

QString formatSettingsText(const TirasseSettings& settings) {
  const QStringList lines{
      QStringLiteral("V3"),
      QString::number(settings.midiInDev),
      oneLine(settings.midiInName),
      QString::number(settings.midiOutDev),
      oneLine(settings.midiOutName),
      oneLine(settings.configFile),
      oneLine(settings.settingsDir),
      oneLine(settings.midDir),
      oneLine(settings.configDir),
      kSkipUnchangedKey + (settings.skipUnchangedRelayCode ? QLatin1Char('1') : QLatin1Char('0')),
  };
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

SettingsFileState readSettingsFile(const QString& path, TirasseSettings& settings) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return SettingsFileState::Missing;
  if (file.size() > kLargestSettingsFile) return SettingsFileState::Foreign;
  TirasseSettings read = settings;
  const SettingsFileState state = parseSettingsText(QString::fromUtf8(file.readAll()), read);
  if (state != SettingsFileState::Read) return state;
  read.settingsDir = absoluteFolderOr(read.settingsDir, settings.settingsDir);
  read.midDir = absoluteFolderOr(read.midDir, settings.midDir);
  read.configDir = absoluteFolderOr(read.configDir, settings.configDir);
  settings = read;
  return state;
}

bool writeSettingsFile(const QString& path, const TirasseSettings& settings) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(formatSettingsText(settings).toUtf8());
  return file.commit();
}

}  // namespace tirasse
