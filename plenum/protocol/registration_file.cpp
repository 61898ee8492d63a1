#include "plenum/protocol/registration_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "plenum/protocol/sysex_exchange.h"
#include "plenum/runtime/settings.h"
#include "plenum/runtime/utf8_path.h"

#include "plenum/runtime/memory_map.h"

namespace plenum {

namespace {

constexpr int kFileVersion = 1;
// Above a module's 64 KiB as hex digits, with room for the line end: no good data line is
// longer, so reading stops there instead of swallowing a file of any size.
constexpr std::size_t kLongestLine = 2 * kModuleMemorySize + 2;

class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  // The next line with its line feed (when it has one); false at the end of the file.
  bool next(std::string& line) {
    line.clear();
    for (int c; (c = std::fgetc(file_)) != EOF;) {
      line.push_back(static_cast<char>(c));
      if (c == '\n' || line.size() >= kLongestLine) break;
    }
    if (line.empty()) return false;
    // A file written on Windows ends its lines with a carriage return too.
    if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') line.erase(line.size() - 2, 1);
    return true;
  }

 private:
  std::FILE* file_;
};

struct FileCloser {
  std::FILE* file;
  ~FileCloser() { std::fclose(file); }
};

// A whole word of decimal digits, as the save writes it; anything else is refused rather
// than read as 0 or as a part of the word.
bool decimalValue(std::string_view word, long& value) {
  if (word.empty() || word.size() > 6) return false;
  value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return words;
}

// "mod M banks B pistons P size S" with its line feed.
bool parseHeader(const std::string& line, RegistrationRecord& record, long& digits) {
  std::string_view text(line);
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  const std::vector<std::string_view> words = wordsOf(text);
  static constexpr const char* kKeywords[] = {"mod", "banks", "pistons", "size"};
  if (words.size() != 8) return false;
  long values[4];
  for (int i = 0; i < 4; ++i)
    if (words[2 * i] != kKeywords[i] || !decimalValue(words[2 * i + 1], values[i])) return false;
  digits = dataDigitsFor(values[1], values[2], values[3]);
  if (values[0] > 0x7F - 'N' || digits < 0) return false;
  record.module = static_cast<int>(values[0]);
  record.banks = static_cast<int>(values[1]);
  record.pistons = static_cast<int>(values[2]);
  record.size = static_cast<int>(values[3]);
  return true;
}

bool parseData(const std::string& line, long digits, RegistrationRecord& record) {
  if (line.size() != static_cast<std::size_t>(digits) + 1 || line.back() != '\n') return false;
  for (std::size_t i = 0; i < line.size() - 1; ++i)
    if (parseHex(line, i, 1) < 0) return false;
  record.data.assign(line, 0, line.size() - 1);
  return true;
}

void echo(const std::string& line) {
  if (settings().debug(DebugProtocolDetail)) std::printf("%s", line.c_str());
}

// Reads the record lines after the version line into the set.
int readRecords(LineReader& reader, RegistrationSet& set, const char* fileName) {
  int records = 0;
  std::string line;
  while (reader.next(line)) {
    echo(line);
    RegistrationRecord record;
    long digits = 0;
    bool good = parseHeader(line, record, digits);
    if (good) {
      good = reader.next(line);
      if (good) {
        echo(line);
        good = parseData(line, digits, record);
      }
    }
    if (!good) {
      std::printf("Syntax error in file %s\n", fileName);
      return 1;
    }
    set.push_back(std::move(record));
    ++records;
  }
  if (records == 0) {
    std::printf("No valid data found in file %s\n", fileName);
    return 1;
  }
  return 0;
}

bool writeRecords(std::FILE* file, const RegistrationSet& set) {
  bool good = std::fprintf(file, "reg %d\n", kFileVersion) > 0;
  for (const RegistrationRecord& r : set) {
    if (!good) break;
    good = std::fprintf(file, "mod %d banks %d pistons %d size %d\n", r.module, r.banks, r.pistons, r.size) > 0 &&
           std::fwrite(r.data.data(), 1, r.data.size(), file) == r.data.size() && std::fputc('\n', file) != EOF;
  }
  good = std::fflush(file) == 0 && good;
  return std::fclose(file) == 0 && good;
}

}  // namespace

int saveRegistration(const RegistrationSet& set, const char* fileName) {
  const std::string partial = std::string(fileName) + ".partial";
  // Binary: lines end in a line feed on every system, so a file saved on Windows is the same
  // bytes as one saved on Linux (the reader takes both line ends).
  std::FILE* file = openUtf8File(partial, "wb");
  if (file == nullptr) {
    std::printf("File %s could not be opened for writing\n", fileName);
    return 1;
  }
  std::error_code error;
  if (!writeRecords(file, set)) {
    std::printf("File %s could not be written; it was left as it was\n", fileName);
    std::filesystem::remove(utf8Path(partial), error);
    return 1;
  }
  std::filesystem::rename(utf8Path(partial), utf8Path(fileName), error);
  if (error) {
    std::printf("File %s could not be written; it was left as it was\n", fileName);
    std::filesystem::remove(utf8Path(partial), error);
    return 1;
  }
  return 0;
}

int loadRegistration(RegistrationSet& set, const char* fileName) {
  std::FILE* file = openUtf8File(fileName, "r");
  if (file == nullptr) {
    std::printf("File %s could not be opened for reading\n", fileName);
    return 1;
  }
  FileCloser closer{file};
  LineReader reader(file);
  std::string line;
  if (!reader.next(line)) {
    std::printf("Unable to read from file %s\n", fileName);
    return 1;
  }
  if (line.size() < 4 || line[3] != ' ') {
    std::printf("File %s does not appear to be a legal registration file (1)\n", fileName);
    return 1;
  }
  if (line.compare(0, 3, "reg") != 0) {
    std::printf("File %s does not appear to be a legal registration file (2)\n", fileName);
    return 1;
  }
  const int version = std::atoi(line.c_str() + 4);
  if (version != kFileVersion) {
    std::printf("File %s does not have a legal version number (%d)\n", fileName, version);
    return 1;
  }
  return readRecords(reader, set, fileName);
}

}  // namespace plenum
