// Reads a fuzzer's input front to back as small decisions. An exhausted input answers zero for
// ever, so every input, however short, is a complete script.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pavix::fuzz {

class ByteStream {
  public:
    ByteStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A value below `limit` (which must not be 0).
    std::size_t Below(std::size_t limit) { return Byte() % limit; }
    std::uint16_t UInt16() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | Byte() << 8);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace pavix::fuzz
