#include "plenum/simulator/simulated_loop.h"

#include <cstdio>
#include <string>

#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

std::uint32_t packShort(const Frame& message) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < message.size() && i < 3; ++i) word |= static_cast<std::uint32_t>(message[i]) << (8 * i);
  return word;
}

}  // namespace

SimulatedLoop::SimulatedLoop(const LoopLayout& layout)
    : SimulatedLoop(std::make_shared<SimulatedModules>(layout, FirmwareShelf::fromCurrentDirectory())) {}

SimulatedLoop::SimulatedLoop(std::shared_ptr<SimulatedModules> modules) : modules_(std::move(modules)) {
  // Waiting at the input before the loop thread exists, so it is all there on the first poll.
  if (modules_->layout.trafficBurst && !modules_->burstSent) {
    modules_->burstSent = true;
    for (const Frame& message : ModuleChain::trafficBurst())
      message[0] == 0xF0 ? deliverSysex(message) : deliverShort(message);
  }
  if (!modules_->inputSent) {
    modules_->inputSent = true;
    for (const Frame& message : modules_->layout.waitingInput) deliverShort(message);
  }
  LoopOutput& output = *this;
  runner_ = std::make_unique<LoopRunner>(modules_->chain, output, modules_->layout.wireSpeed);
}

SimulatedLoop::~SimulatedLoop() { runner_.reset(); }

int SimulatedLoop::sendSysex(const std::uint8_t* bytes, std::size_t length) {
  traceSending(bytes, length);
  runner_->send(bytes, length);
  return 0;
}

void SimulatedLoop::sendShort(const std::uint8_t* bytes, std::size_t length) {
  if (length == 0) return;
  runner_->send(bytes, length > 3 ? 3 : length);
}

bool SimulatedLoop::pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length, int waitMs) {
  return received_.popSysex(buffer, capacity, length, waitMs);
}

bool SimulatedLoop::pollShort(std::uint32_t& word) { return received_.popShort(word); }

void SimulatedLoop::deliverSysex(const Frame& frame) { received_.pushSysex(frame.data(), frame.size()); }

void SimulatedLoop::deliverShort(const Frame& message) { received_.pushShort(packShort(message)); }

void SimulatedLoop::signalInputError() { signalError("MIM_ERROR"); }

std::shared_ptr<SimulatedModules> simulatedModulesFrom(std::string_view text) {
  std::string error;
  const std::optional<LoopLayout> layout = parseLoopLayout(text, error);
  if (!layout) {
    std::printf("Bad PLENUM_LOOP setting \"%.*s\": %s\n", static_cast<int>(text.size()), text.data(), error.c_str());
    exitWith(1);
  }
  return std::make_shared<SimulatedModules>(*layout, FirmwareShelf::fromCurrentDirectory());
}

}  // namespace plenum
