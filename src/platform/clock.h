#pragma once
// The millisecond tick count: milliseconds since the system started.

#include <cstdint>

namespace dudivizo::platform {

// 32-bit tick count; wraps after about 49.7 days.
uint32_t TickCount();
// The same count without the wrap.
uint64_t TickCount64();

// While an instance exists, the tick count reads from it instead of the
// system clock, so tests can let time pass without sleeping. Not nestable.
class FakeClock {
 public:
  explicit FakeClock(uint64_t startMs = 1'000'000);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  void Advance(uint64_t ms);
  void Set(uint64_t ms);
  uint64_t Now() const;

  struct State;  // shared with the tick count functions

 private:
  State* state_;
};

}  // namespace dudivizo::platform
