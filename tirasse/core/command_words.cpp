#include "tirasse/core/command_words.h"

#include "tirasse/core/unicode_text.h"

namespace tirasse {

std::vector<std::string> splitCommandLine(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  int quotes = 0;  // double quotes in a row just read
  bool quoted = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t at = pos;
    const char32_t c = nextCodePoint(text, pos);
    if (c == U'"') {
      if (++quotes == 3) {
        quotes = 0;
        word += '"';
      }
      continue;
    }
    // One quote opens or closes a quoted part; two in a row are an empty part.
    if (quotes == 1) quoted = !quoted;
    quotes = 0;
    if (!quoted && isUnicodeSpace(c)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word.append(text, at, pos - at);
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

}  // namespace tirasse
