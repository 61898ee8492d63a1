#pragma once
// Shared pieces of the fuzz targets: the ways a plenum run ends turned into returns,
// the program's chatter kept off the terminal, and fuzz bytes handed over as a file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plenum::fuzz {

enum class Ending {
  Returned,       // the operation came back normally
  Exited,         // ExitRequest: the run would have ended with a status
  TextException,  // "%s: exiting"
  ProgramBug,     // "Program bug: %s"
};

// Runs `operation`; every way a plenum run ends deep inside an operation becomes a
// return. Anything else (a crash, another exception) reaches the fuzzer.
Ending runContained(const std::function<void()>& operation);

// Sends standard output to the null device for the rest of the process: the program
// prints a great deal and the fuzzer only cares whether it survives. With
// PLENUM_FUZZ_VERBOSE set it is left alone, to see what an input makes the program say.
void silenceStandardOutput();

// Writes `data` to this process's scratch file and returns its path. The same path is
// reused by every call (one input at a time) and removed when the process ends.
std::string writeScratchFile(const std::uint8_t* data, std::size_t size);

// Takes bytes from the front of a fuzz input, and zeros once it is used up.
class InputBytes {
 public:
  InputBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t take() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool empty() const { return pos_ >= size_; }
  const std::uint8_t* rest() const { return data_ + pos_; }
  std::size_t restSize() const { return size_ - pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace plenum::fuzz
