#pragma once
// What the boxes' UTF-8 text means as words: where blanks are (every Unicode space, as the
// user's keyboard and the toolkits know them, not only ASCII) and where digits are.

#include <string>
#include <string_view>

namespace tirasse {

// The code point that starts at `pos`, and `pos` moved past it. A byte that starts no
// valid UTF-8 sequence is returned as itself (so it is never a space) and passed over.
char32_t nextCodePoint(std::string_view text, std::size_t& pos);

bool isUnicodeSpace(char32_t c);

// The text without the Unicode spaces at either end.
std::string trimmedText(std::string_view text);

}  // namespace tirasse
