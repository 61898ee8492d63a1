#include "plenum/simulator/module_chain.h"

namespace plenum {

namespace {

constexpr std::uint8_t kFirstAddress = 'N';
constexpr std::uint8_t kCountRequest = 'L';
constexpr std::uint8_t kLoopTest = '~';

bool isVerifyLetter(std::uint8_t letter) { return letter == 'C' || letter == 'c' || letter == 'Z'; }

}  // namespace

ModuleChain::ModuleChain(const LoopLayout& layout, FirmwareShelf shelf) : layout_(layout), shelf_(std::move(shelf)) {
  modules_.reserve(layout.modules.size());  // the modules keep a reference to shelf_
  for (const SimulatedModuleLayout& m : layout.modules) modules_.emplace_back(m, shelf_);
  for (const PresetRegistration& r : layout.registrations) module(r.module).installRegistration(r);
}

LoopOutcome ModuleChain::passSysex(const Frame& request, LoopClock::time_point now) {
  ++requestsSeen_;
  LoopOutcome outcome;
  bool answeredVerify = false;
  if (!silent(now)) {
    const bool ours = request.size() >= 4 && request[0] == 0xF0 && request[1] == 0x47 && request.back() == 0xF7;
    const std::uint8_t first = ours ? request[2] : 0;
    const int count = moduleCount();
    if (!ours) {
      outcome.frame = request;
    } else if (first >= kFirstAddress && first < kFirstAddress + count) {
      SimulatedModule& target = module(first - kFirstAddress);
      outcome.frame = target.answer(request.data() + 2, request.size() - 3);
      if (target.takeFlasherStarted()) silentUntil_ = now + std::chrono::milliseconds(layout_.flashMs);
      answeredVerify = outcome.frame && request.size() > 3 && isVerifyLetter(request[3]);
    } else if (first == kCountRequest || (first >= kFirstAddress && first < kLoopTest)) {
      outcome.frame = request;
      (*outcome.frame)[2] = static_cast<std::uint8_t>(first - count);
    } else {
      outcome.frame = request;
    }
  }
  injectFaults(request, outcome, answeredVerify);
  return outcome;
}

void ModuleChain::injectFaults(const Frame&, LoopOutcome& outcome, bool answeredVerify) {
  if (answeredVerify) ++verifiesSeen_;
  for (const FaultSetting& fault : layout_.faults) {
    if (fault.kind == FaultKind::FailVerify) {
      if (answeredVerify && (fault.request == 0 || fault.request == verifiesSeen_))
        (*outcome.frame)[outcome.frame->size() - 2] = 'N';
      continue;
    }
    if (fault.request != requestsSeen_) continue;
    if (fault.kind == FaultKind::InputError) {
      outcome.inputError = true;
      continue;
    }
    if (!outcome.frame) continue;
    Frame& frame = *outcome.frame;
    const std::size_t payload = frame.size() >= 3 ? frame.size() - 3 : 0;
    switch (fault.kind) {
      case FaultKind::LoseReply:
        outcome.frame.reset();
        break;
      case FaultKind::LateReply:
        outcome.extraDelayMs += fault.delayMs;
        break;
      case FaultKind::CorruptByte:
        if (payload > 0) frame[2 + (payload - 1) / 2] ^= 0x01;
        break;
      case FaultKind::WrongLength:
        if (payload > 0) frame.erase(frame.end() - 2);
        break;
      default:
        break;
    }
  }
}

const std::vector<Frame>& ModuleChain::trafficBurst() {
  static const std::vector<Frame> burst = {
      {0xF0, 0x47, 'N', 'V', 0x03, 0x10, 'B', 0xF7},  // a version reply nobody asked for
      {0x90, 60, 100},                                  // Note On, channel 1
      {0x90, 60, 0},                                    // Note On velocity 0 = Off
      {0x85, 61, 64},                                   // Note Off, channel 6
      {0xA2, 62, 30},                                   // poly pressure
      {0xB0, 7, 127},                                   // controller 7
      {0xCF, 5},                                        // program change, channel 16
      {0xD3, 40},                                       // channel pressure
      {0xE0, 0, 64},                                    // pitch wheel centre
      {0xF8}, {0xFA}, {0xFB}, {0xFC}, {0xFE}, {0xF9},  // real-time messages
      {0xF6},                                           // system common
      {0xFF},                                           // system reset
  };
  return burst;
}

}  // namespace plenum
