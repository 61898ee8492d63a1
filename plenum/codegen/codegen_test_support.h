#pragma once
// Test support for the statement generators: finding records in a record list and
// collecting the messages a step prints.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/record_codes.h"
#include "plenum/runtime/exits.h"

namespace plenum::testing_support {

// The records of a list up to its End code (or its end), each as its bytes.
inline std::vector<ByteString> recordsOf(const ByteString& list) {
  std::vector<ByteString> records;
  std::size_t at = 0;
  while (at < list.size() && list[at] != SEnd) {
    const RecordInfo* info = findRecord(list[at]);
    std::size_t size = 1;
    if (info && info->framing == RecordFraming::StackOp)
      size = static_cast<std::size_t>(info->minLength);
    else if (at + 1 < list.size())
      size = list[at + 1];
    if (size == 0 || at + size > list.size()) size = list.size() - at;
    records.emplace_back(list.begin() + static_cast<long>(at),
                         list.begin() + static_cast<long>(at + size));
    at += size;
  }
  return records;
}

// Every record of the list with the code.
inline std::vector<ByteString> recordsWithCode(const ByteString& list, RecordCode code) {
  std::vector<ByteString> found;
  for (ByteString& record : recordsOf(list))
    if (record[0] == code) found.push_back(std::move(record));
  return found;
}

// The first record with the code, or an empty string.
inline ByteString firstRecord(const ByteString& list, RecordCode code) {
  std::vector<ByteString> found = recordsWithCode(list, code);
  return found.empty() ? ByteString{} : found.front();
}

inline ByteString bytes(std::initializer_list<int> values) {
  ByteString result;
  for (int value : values) result.push_back(static_cast<std::uint8_t>(value & 0xFF));
  return result;
}

// Runs step with standard output captured; an ExitRequest ends the step.
template <class Step>
std::string printedBy(Step step) {
  ::testing::internal::CaptureStdout();
  try {
    step();
  } catch (const ExitRequest&) {
  }
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace plenum::testing_support
