#include "hardening/allocation_meter.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace pavix::testing {
namespace {

// The counters live as long as the program: allocation functions have nowhere else to keep them.
struct HeapCounters {
    std::atomic<std::size_t> live{0};
    std::atomic<std::size_t> peak{0};
    std::atomic<std::size_t> largest{0};
    std::atomic<std::size_t> refusedOver{SIZE_MAX};
};

HeapCounters& Counters() {
    static HeapCounters counters;
    return counters;
}

void RaiseTo(std::atomic<std::size_t>& value, std::size_t candidate) {
    std::size_t seen = value.load(std::memory_order_relaxed);
    while (candidate > seen && !value.compare_exchange_weak(seen, candidate)) {
    }
}

void* Allocate(std::size_t size) {
    if (size > Counters().refusedOver.load()) {
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    HeapCounters& counters = Counters();
    const std::size_t live = counters.live += malloc_usable_size(block);
    RaiseTo(counters.peak, live);
    RaiseTo(counters.largest, size);
    return block;
}

void Release(void* block) {
    if (block != nullptr) {
        Counters().live -= malloc_usable_size(block);
        std::free(block);
    }
}

void* AllocateOrThrow(std::size_t size) {
    if (void* block = Allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}

}  // namespace

AllocationMeter::AllocationMeter() : startBytes_(Counters().live.load()) {
    Counters().peak = startBytes_;
    Counters().largest = 0;
}

std::size_t AllocationMeter::PeakBytes() const {
    const std::size_t peak = Counters().peak.load();
    return peak > startBytes_ ? peak - startBytes_ : 0;
}

std::size_t AllocationMeter::LargestBlock() const {
    return Counters().largest.load();
}

AllocationMeter::~AllocationMeter() {
    Counters().refusedOver = SIZE_MAX;
}

std::size_t AllocationMeter::HeldBytes() const {
    const std::size_t live = Counters().live.load();
    return live > startBytes_ ? live - startBytes_ : 0;
}

void AllocationMeter::RefuseBlocksOver(std::size_t size) {
    Counters().refusedOver = size;
}

}  // namespace pavix::testing

// The replaced global allocation functions (the aligned forms keep the library's own).
void* operator new(std::size_t size) {
    return pavix::testing::AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return pavix::testing::AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return pavix::testing::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return pavix::testing::Allocate(size);
}
void operator delete(void* block) noexcept {
    pavix::testing::Release(block);
}
void operator delete[](void* block) noexcept {
    pavix::testing::Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    pavix::testing::Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    pavix::testing::Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    pavix::testing::Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    pavix::testing::Release(block);
}
