#pragma once
// The Qt front end's edge: the core speaks UTF-8 std::string, the widgets QString.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace tirasse {

inline std::string utf8(const QString& text) { return text.toStdString(); }
inline QString qtext(const std::string& text) { return QString::fromStdString(text); }

inline QStringList qtextList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << qtext(text);
  return list;
}

}  // namespace tirasse
