#include "plenum/simulator/loop_runner.h"

#include <algorithm>
#include <cstring>

namespace plenum {

namespace {
constexpr auto kLongestStep = std::chrono::milliseconds(2);
}  // namespace

LoopRunner::LoopRunner(ModuleChain& chain, LoopOutput& output, bool wireSpeed)
    : chain_(chain), output_(output), wireSpeed_(wireSpeed), thread_([this] { run(); }) {}

LoopRunner::~LoopRunner() {
  stopping_.store(true, std::memory_order_release);
  wake_.release();
  thread_.join();
}

void LoopRunner::send(const std::uint8_t* bytes, std::size_t length) {
  Message* slot = nullptr;
  // A full queue means the loop thread is behind; the sender waits as on a busy wire.
  while ((slot = sent_.slotToFill()) == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const bool fits = length <= kSysexBufferSize;
  slot->length = fits ? length : 0;
  if (fits) std::memcpy(slot->bytes, bytes, length);
  sent_.publish();
  wake_.release();
}

void LoopRunner::run() {
  while (!stopping_.load(std::memory_order_acquire)) {
    // A timed wait on the semaphore can overshoot by a fifth of its length, which would
    // slow the wire down; waiting in short steps towards the due time keeps it exact.
    const LoopClock::time_point now = LoopClock::now();
    const LoopClock::time_point next =
        arrivals_.empty() ? now + std::chrono::seconds(1)
                          : std::min(arrivals_.front().due, now + kLongestStep);
    (void)wake_.try_acquire_until(next);
    const LoopClock::time_point woken = LoopClock::now();
    while (const Message* message = sent_.front()) {
      take(*message, woken);
      sent_.release();
    }
    deliverDue(LoopClock::now());
  }
}

void LoopRunner::take(const Message& message, LoopClock::time_point now) {
  if (message.length == 0) return;
  const Frame request(message.bytes, message.bytes + message.length);
  Arrival arrival;
  std::size_t wireBytes = request.size();
  if (request[0] == 0xF0) {
    LoopOutcome outcome = chain_.passSysex(request, now);
    if (outcome.frame) {
      wireBytes += outcome.frame->size();
      arrival.bytes = std::move(*outcome.frame);
    }
    arrival.inputError = outcome.inputError;
    arrival.due = now + std::chrono::milliseconds(outcome.extraDelayMs);
  } else {
    if (chain_.passesShort(now)) arrival.bytes = request;
    arrival.sysex = false;
    wireBytes *= 2;
    arrival.due = now;
  }
  if (arrival.bytes.empty() && !arrival.inputError) return;
  if (wireSpeed_) {
    // Request and reply each cross the wire byte by byte, one message after another.
    const LoopClock::time_point start = std::max(now, wireFreeAt_);
    wireFreeAt_ = start + kByteTime * static_cast<long>(wireBytes);
    arrival.due += wireFreeAt_ - now;
  }
  schedule(std::move(arrival));
}

void LoopRunner::schedule(Arrival arrival) {
  const auto later = std::upper_bound(arrivals_.begin(), arrivals_.end(), arrival.due,
                                      [](LoopClock::time_point due, const Arrival& a) { return due < a.due; });
  arrivals_.insert(later, std::move(arrival));
}

void LoopRunner::deliverDue(LoopClock::time_point now) {
  std::size_t done = 0;
  for (; done < arrivals_.size() && arrivals_[done].due <= now; ++done) {
    const Arrival& arrival = arrivals_[done];
    if (arrival.inputError) output_.signalInputError();
    if (arrival.bytes.empty()) continue;
    if (arrival.sysex)
      output_.deliverSysex(arrival.bytes);
    else
      output_.deliverShort(arrival.bytes);
  }
  arrivals_.erase(arrivals_.begin(), arrivals_.begin() + static_cast<long>(done));
}

}  // namespace plenum
