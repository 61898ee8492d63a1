#pragma once
// plenum's output arrives in pieces that may cut a UTF-8 sequence in two. The decoder hands
// on whole characters only, keeps a cut sequence for the next piece, and shows bytes that
// are no UTF-8 as U+FFFD, so that what the window shows is always valid text.

#include <string>

namespace tirasse {

class Utf8Stream {
 public:
  // The valid UTF-8 text of everything received so far that has not been returned yet.
  std::string decode(const std::string& bytes);

 private:
  std::string pending_;  // the start of a sequence cut at the end of the last piece
};

}  // namespace tirasse
