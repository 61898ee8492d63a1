#pragma once
// The free-text boxes (other options, the repeat count) are split into plenum's words as a
// command line would split them: blanks separate words, a double-quoted part may hold
// blanks, and three double quotes in a row stand for one double quote.

#include <string>
#include <vector>

namespace tirasse {

std::vector<std::string> splitCommandLine(const std::string& text);

}  // namespace tirasse
