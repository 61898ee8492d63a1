#pragma once
// Test support: C streams over text held in memory. open_memstream and fmemopen are POSIX
// only, so the text goes through an anonymous temporary file, which every system has.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace plenum::testing_support {

// What `print` writes to the stream it is given.
template <class Print>
std::string printedTo(Print print) {
  std::FILE* out = std::tmpfile();
  if (out == nullptr) {
    ADD_FAILURE() << "no temporary file";
    return {};
  }
  print(out);
  std::string text;
  std::rewind(out);
  for (int c; (c = std::fgetc(out)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(out);
  return text;
}

// A stream that reads `text` from its start; the caller closes it. Null when no temporary
// file can be made.
inline std::FILE* streamReading(const std::string& text) {
  std::FILE* in = std::tmpfile();
  if (in == nullptr) return nullptr;
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  return in;
}

}  // namespace plenum::testing_support
