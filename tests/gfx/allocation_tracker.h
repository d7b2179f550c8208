#pragma once
// The largest single request made through operator new while a tracker is alive: lets a test
// show that a decoder refuses a claimed size before it allocates for it. (test_gfx replaces the
// global operator new and delete for this; see allocation_tracker.cpp.)

#include <cstddef>

namespace gfx::testing_support {

class LargestAllocation {
  public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const;
};

}  // namespace gfx::testing_support
