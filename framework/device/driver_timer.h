#pragma once
// Adds the time from its making to its end to a sum: how a device tells the time spent in the
// driver (state changes, draws, presenting) from its callers' own.

#include <chrono>

namespace framework {

class DriverTimer {
  public:
    explicit DriverTimer(double& sum) : sum_(sum), start_(std::chrono::steady_clock::now()) {}
    DriverTimer(const DriverTimer&) = delete;
    DriverTimer& operator=(const DriverTimer&) = delete;
    ~DriverTimer() {
        sum_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    double& sum_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace framework
