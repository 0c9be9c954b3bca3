#include "platform/clock.h"

#include <time.h>

#include <atomic>

namespace dudivizo::platform {

struct FakeClock::State {
  std::atomic<uint64_t> now;
};

namespace {
std::atomic<FakeClock::State*> g_fake{nullptr};
}  // namespace

uint64_t TickCount64() {
  if (FakeClock::State* fake = g_fake.load(std::memory_order_acquire)) return fake->now.load();
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000u;
}

uint32_t TickCount() { return static_cast<uint32_t>(TickCount64()); }

FakeClock::FakeClock(uint64_t startMs) : state_(new State{{startMs}}) {
  g_fake.store(state_, std::memory_order_release);
}

FakeClock::~FakeClock() {
  g_fake.store(nullptr, std::memory_order_release);
  delete state_;
}

void FakeClock::Advance(uint64_t ms) { state_->now.fetch_add(ms); }
void FakeClock::Set(uint64_t ms) { state_->now.store(ms); }
uint64_t FakeClock::Now() const { return state_->now.load(); }

}  // namespace dudivizo::platform
