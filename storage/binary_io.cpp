#include "storage/binary_io.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/constants.h"

namespace pavix {
namespace {

constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFFu;
// A small file gets a buffer of its own size, but never one smaller than this.
constexpr std::size_t kMinimumReadBuffer = 256;
// The most that one ReadFile or WriteFile call is asked to move.
constexpr std::size_t kLargestTransfer = 0x40000000u;
// The largest rest of a file that reading believes and allocates at once. A larger one is read
// as if its size were unknown, so that a size the platform misreports costs no more than the
// bytes that arrive; no data file of that size is of use anyway.
constexpr std::uint64_t kLargestBelievedRest = std::uint64_t{1} << 30;

}  // namespace

bool ReadExact(FileApi& files, FileHandle file, void* buffer, std::uint32_t size) {
    // A synchronous read of a disk file delivers less than asked only at the end of the file.
    std::uint32_t got = 0;
    return files.ReadFile(file, buffer, size, &got) && got == size;
}

std::uint64_t SizeOfFile(FileSystem system, FileHandle file) {
    std::uint32_t high = 0;
    const std::uint32_t low = system.files.GetFileSize(file, &high);
    if (low == kInvalidFileSize && system.errors.GetLastError() != kErrorSuccess) {
        return kUnknownFileSize;
    }
    return static_cast<std::uint64_t>(high) << 32 | low;
}

bool ByteBlock::Allocate(std::size_t size) {
    data_.reset();
    size_ = 0;
    // Left uncleared: every byte that is read is written first.
    data_.reset(new (std::nothrow) char[size == 0 ? 1 : size]);
    if (data_ == nullptr) {
        return false;
    }
    size_ = size;
    return true;
}

// --- FileReader ----------------------------------------------------------------------------------

FileReader::FileReader(FileApi& files, FileHandle file, std::uint64_t size)
    : files_(files), file_(file), size_(size) {}

std::size_t FileReader::ChunkSize() const {
    const std::uint64_t wanted = std::max<std::uint64_t>(size_, kMinimumReadBuffer);
    return static_cast<std::size_t>(std::min<std::uint64_t>(wanted, kFileChunkSize));
}

bool FileReader::Fill() {
    if (buffer_.empty()) {
        buffer_.resize(ChunkSize());
    }
    std::uint32_t got = 0;
    const bool ok =
        files_.ReadFile(file_, buffer_.data(), static_cast<std::uint32_t>(buffer_.size()), &got);
    begin_ = 0;
    end_ = ok ? std::min<std::size_t>(got, buffer_.size()) : 0;
    if (!ok) {
        readError_ = true;
    }
    return end_ > 0;
}

bool FileReader::ReadSlow(void* out, std::size_t size) {
    if (failed_) {
        return false;
    }
    auto* target = static_cast<std::uint8_t*>(out);
    while (size > 0) {
        if (begin_ == end_) {
            if (size >= kFileChunkSize) {
                // A large piece goes straight into its destination, without the extra copy.
                const auto piece =
                    static_cast<std::uint32_t>(std::min<std::size_t>(size, kLargestTransfer));
                std::uint32_t got = 0;
                const bool ok = files_.ReadFile(file_, target, piece, &got);
                if (!ok || got == 0 || got > piece) {
                    readError_ = readError_ || !ok;
                    failed_ = true;
                    return false;
                }
                target += got;
                size -= got;
                consumed_ += got;
                continue;
            }
            if (!Fill()) {
                failed_ = true;
                return false;
            }
        }
        const std::size_t count = std::min(size, end_ - begin_);
        std::memcpy(target, buffer_.data() + begin_, count);
        begin_ += count;
        target += count;
        size -= count;
        consumed_ += count;
    }
    return true;
}

bool FileReader::ReadText(std::size_t length, std::string& text) {
    if (failed_) {
        text.clear();
        return false;
    }
    if (length > Remaining()) {
        text.clear();
        failed_ = true;
        return false;
    }
    if (length <= end_ - begin_) {
        // The usual case: the whole text is in the buffer already.
        const char* start = reinterpret_cast<const char*>(buffer_.data() + begin_);
        const void* zero = std::memchr(start, 0, length);
        text.assign(start, zero ? static_cast<const char*>(zero) : start + length);
        begin_ += length;
        consumed_ += length;
        return true;
    }
    // The text grows only as its bytes arrive, so even a file whose size was misreported costs no
    // more memory than it delivers.
    text.clear();
    while (length > 0) {
        const std::size_t piece = std::min(length, kFileChunkSize);
        const std::size_t old = text.size();
        text.resize(old + piece);
        if (!Read(&text[old], piece)) {
            return false;
        }
        length -= piece;
    }
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        text.resize(zero);
    }
    return true;
}

RestRead FileReader::ReadRest(ByteBlock& bytes, std::size_t& used) {
    used = 0;
    if (failed_) {
        return RestRead::kCutShort;
    }
    const std::size_t piece = buffer_.empty() ? ChunkSize() : buffer_.size();
    const std::size_t buffered = end_ - begin_;
    const std::uint64_t rest = Remaining();
    const std::uint64_t expected = rest > kLargestBelievedRest ? 0 : rest;
    if (expected > std::numeric_limits<std::size_t>::max() - buffered - piece ||
        !bytes.Allocate(buffered + static_cast<std::size_t>(expected) + piece)) {
        return RestRead::kNoMemory;
    }
    if (buffered > 0) {
        std::memcpy(bytes.Data(), buffer_.data() + begin_, buffered);
    }
    used = buffered;
    consumed_ += buffered;
    begin_ = end_;
    for (;;) {
        if (bytes.Size() - used < piece && !Grow(bytes, used, piece)) {
            used = 0;
            return RestRead::kNoMemory;
        }
        std::uint32_t got = 0;
        const bool ok =
            files_.ReadFile(file_, bytes.Data() + used, static_cast<std::uint32_t>(piece), &got);
        const std::size_t arrived = ok ? std::min<std::size_t>(got, piece) : 0;
        used += arrived;
        consumed_ += arrived;
        if (!ok) {
            readError_ = true;
            failed_ = true;
            return RestRead::kCutShort;
        }
        if (arrived == 0) {
            return RestRead::kComplete;
        }
    }
}

// Half as much again, and room for at least one more piece.
bool FileReader::Grow(ByteBlock& bytes, std::size_t used, std::size_t piece) {
    const std::size_t most = std::numeric_limits<std::size_t>::max();
    const std::size_t extra = std::max(used / 2, piece);
    ByteBlock larger;
    if (used > most - extra || !larger.Allocate(used + extra)) {
        return false;
    }
    std::memcpy(larger.Data(), bytes.Data(), used);
    bytes = std::move(larger);
    return true;
}

bool FileReader::AtEnd() {
    if (failed_ || begin_ < end_) {
        return false;
    }
    if (Fill()) {
        return false;
    }
    if (readError_) {
        failed_ = true;
        return false;
    }
    return true;
}

std::uint64_t FileReader::Remaining() const {
    if (size_ == kUnknownFileSize) {
        return kUnknownFileSize;
    }
    return size_ > consumed_ ? size_ - consumed_ : 0;
}

// --- FileWriter ----------------------------------------------------------------------------------

FileWriter::FileWriter(FileApi& files, FileHandle file)
    : files_(files), file_(file), buffer_(kFileChunkSize) {}

bool FileWriter::WriteOut(const void* data, std::size_t size) {
    const auto* source = static_cast<const std::uint8_t*>(data);
    while (size > 0 && !failed_) {
        const auto piece = static_cast<std::uint32_t>(std::min(size, kFileChunkSize));
        std::uint32_t written = 0;
        if (!files_.WriteFile(file_, source, piece, &written) || written != piece) {
            failed_ = true;
            break;
        }
        source += piece;
        size -= piece;
    }
    return !failed_;
}

void FileWriter::WriteSlow(const void* data, std::size_t size) {
    if (failed_) {
        return;
    }
    // Fill the buffer to the brim and write it out; whole chunks of a large piece then go
    // straight from the caller's bytes, so every write but the last moves exactly one chunk.
    const auto* source = static_cast<const std::uint8_t*>(data);
    while (size > 0 && !failed_) {
        if (used_ == 0 && size >= buffer_.size()) {
            const std::size_t whole = size - size % buffer_.size();
            WriteOut(source, whole);
            source += whole;
            size -= whole;
            continue;
        }
        const std::size_t count = std::min(size, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, source, count);
        used_ += count;
        source += count;
        size -= count;
        if (used_ == buffer_.size()) {
            Flush();
        }
    }
}

bool FileWriter::Flush() {
    if (failed_) {
        return false;
    }
    const std::size_t pending = used_;
    used_ = 0;
    return pending == 0 || WriteOut(buffer_.data(), pending);
}

}  // namespace pavix
