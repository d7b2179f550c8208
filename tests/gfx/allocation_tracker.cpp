#include "tests/gfx/allocation_tracker.h"

#include <cstdlib>
#include <new>

namespace {
bool g_tracking = false;
std::size_t g_largest = 0;

void* Allocate(std::size_t size) noexcept {
    if (g_tracking && size > g_largest) g_largest = size;
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

// The plain forms go through malloc and free (as the library's own do); the array and aligned
// forms are left alone and keep their own pairing.
void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace gfx::testing_support {

LargestAllocation::LargestAllocation() {
    g_largest = 0;
    g_tracking = true;
}
LargestAllocation::~LargestAllocation() {
    g_tracking = false;
}
std::size_t LargestAllocation::bytes() const {
    return g_largest;
}

}  // namespace gfx::testing_support
