#pragma once
// The memory-range boxes: combination-action memories are numbered 0 to 127, and a range
// never ends before it starts.

#include <string>

#include "tirasse/core/command_builder.h"

namespace tirasse {

constexpr int kFirstMemory = 0;
constexpr int kLastMemory = 127;

// The number at the start of a box's text (0 when there is none), limited to 0..127.
int clampMemoryNumber(const std::string& text);

// The "from" box lost focus: limit it, and raise "through" to it when it is lower.
MemoryRange afterFromEdited(const std::string& from, const std::string& through);
// The "through" box lost focus: limit it, and raise it to "from" when it is lower.
MemoryRange afterThroughEdited(const std::string& from, const std::string& through);

}  // namespace tirasse
