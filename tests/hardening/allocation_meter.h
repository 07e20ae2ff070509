// Measures the heap that a piece of code holds at its worst. This test program replaces the global
// allocation functions to count every block by its usable size, so the figures hold under the
// sanitizers too, where the C library's own statistics do not see the allocator.
#pragma once

#include <cstddef>

namespace pavix::testing {

class AllocationMeter {
  public:
    // Starts measuring from the heap as it is now.
    AllocationMeter();
    // Refuses no block any more.
    ~AllocationMeter();
    AllocationMeter(const AllocationMeter&) = delete;
    AllocationMeter& operator=(const AllocationMeter&) = delete;

    // The most heap held at any moment since the start, beyond what was held at the start.
    std::size_t PeakBytes() const;
    // The largest single block asked for since the start.
    std::size_t LargestBlock() const;
    // The heap held now, beyond what was held at the start.
    std::size_t HeldBytes() const;
    // From now on every block larger than `size` is refused, as a process short of memory
    // refuses it.
    void RefuseBlocksOver(std::size_t size);

  private:
    std::size_t startBytes_;
};

}  // namespace pavix::testing
