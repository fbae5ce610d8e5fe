// The largest peak since the meter last read it. The sound server measures
// peaks about 144 times a second and the meter reads every 50 ms: keeping
// only the latest measurement would show one peak in seven and leave the
// meter dark through most of a word.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kestrel {

class CPeakHold {
 public:
  using Clock = std::chrono::steady_clock;
  // Nothing measured for this long: the source has stopped delivering (a
  // suspended sink sends no silence). Also the longest a hold lasts without
  // a read, so that a meter shown again starts from what plays now.
  static constexpr auto kStaleAfter = std::chrono::milliseconds(250);

  // One measurement, a signed sample peak of -1..1.
  void Add(float peak, Clock::time_point now) {
    if (now - holdStart_ > kStaleAfter) {
      held_ = 0.0f;
      holdStart_ = now;
    }
    held_ = std::max(held_, std::fmin(std::fabs(peak), 1.0f));
    lastMeasured_ = now;
  }

  // The largest peak since the last read, 0..1, or 0 when the source has
  // gone quiet; the next hold starts empty.
  float Take(Clock::time_point now) {
    const float peak = now - lastMeasured_ > kStaleAfter ? 0.0f : held_;
    held_ = 0.0f;
    holdStart_ = now;
    return peak;
  }

  void Reset() { *this = CPeakHold(); }

 private:
  float held_ = 0.0f;
  Clock::time_point holdStart_{};
  Clock::time_point lastMeasured_{};
};

}  // namespace kestrel
