// Buffered little-endian reading and writing of the data files through the platform's file calls.
// Both sides keep a sticky failure flag: after the first short or failed transfer every later one
// fails at once, so record code can read or write a whole record and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "storage/file_result.h"

namespace pavix {

// Little-endian access to bytes held in memory.
inline std::int32_t LoadInt32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}
inline std::uint16_t LoadUInt16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}
inline void StoreInt32(std::uint8_t* bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(bits);
    bytes[1] = static_cast<std::uint8_t>(bits >> 8);
    bytes[2] = static_cast<std::uint8_t>(bits >> 16);
    bytes[3] = static_cast<std::uint8_t>(bits >> 24);
}
inline void StoreUInt16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

// Bytes moved per ReadFile or WriteFile call (larger pieces of a text go straight through).
constexpr std::size_t kFileChunkSize = 64 * 1024;
constexpr std::uint64_t kUnknownFileSize = std::numeric_limits<std::uint64_t>::max();

// One ReadFile of `size` bytes; true when all of them arrived (a disk file delivers fewer only
// at its end).
bool ReadExact(FileApi& files, FileHandle file, void* buffer, std::uint32_t size);

// The size of an open file, or kUnknownFileSize when the platform cannot tell.
std::uint64_t SizeOfFile(FileSystem system, FileHandle file);

// Bytes allocated once at their full size and not cleared first. A failed allocation is reported,
// never thrown: the bytes of a data file are sized by the file, which may be larger than what the
// process can get.
class ByteBlock {
  public:
    // Replaces the block by one of `size` bytes; false (and empty) when the memory is not there.
    bool Allocate(std::size_t size);
    char* Data() { return data_.get(); }
    const char* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }

  private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

// How reading the rest of a file ended.
enum class RestRead {
    kComplete,  // the file then reported its end
    kCutShort,  // a read failed; the bytes before it are kept
    kNoMemory,  // the bytes could not be given room; nothing is kept
};

class FileReader {
  public:
    // `size` is the size of the whole file, read from its start; kUnknownFileSize if not known.
    FileReader(FileApi& files, FileHandle file, std::uint64_t size);

    // True when all `size` bytes arrived; false (and for ever after) otherwise.
    bool Read(void* out, std::size_t size) {
        if (size <= end_ - begin_ && !failed_) {
            std::memcpy(out, buffer_.data() + begin_, size);
            begin_ += size;
            consumed_ += size;
            return true;
        }
        return ReadSlow(out, size);
    }
    bool ReadInt32(std::int32_t& value) {
        std::uint8_t bytes[4];
        if (!Read(bytes, sizeof bytes)) {
            return false;
        }
        value = LoadInt32(bytes);
        return true;
    }
    bool ReadUInt16(std::uint16_t& value) {
        std::uint8_t bytes[2];
        if (!Read(bytes, sizeof bytes)) {
            return false;
        }
        value = LoadUInt16(bytes);
        return true;
    }
    // Reads `length` bytes and keeps the text up to the first zero byte. False at once when
    // `length` exceeds Remaining(); otherwise the text grows only as its bytes arrive.
    bool ReadText(std::size_t length, std::string& text);
    // Reads every byte still to come into `bytes`, allocated once for what the file's size says
    // is left and one more chunk, which the read that finds the end goes into; `used` tells how
    // many arrived. Only a file of unknown size or of more than 1 GiB, or one longer than its
    // size said, grows the block as its bytes arrive.
    RestRead ReadRest(ByteBlock& bytes, std::size_t& used);

    // True when the file ends exactly here: no byte is left and no read failed.
    bool AtEnd();
    // At most this many bytes can still arrive (kUnknownFileSize when the size is unknown).
    std::uint64_t Remaining() const;
    bool Failed() const { return failed_; }

  private:
    std::size_t ChunkSize() const;
    bool Fill();
    bool ReadSlow(void* out, std::size_t size);
    static bool Grow(ByteBlock& bytes, std::size_t used, std::size_t piece);

    FileApi& files_;
    FileHandle file_;
    std::uint64_t size_;
    std::uint64_t consumed_ = 0;  // bytes handed out by Read
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool failed_ = false;
    bool readError_ = false;  // a ReadFile call reported failure (not merely the end)
};

class FileWriter {
  public:
    FileWriter(FileApi& files, FileHandle file);

    // Each of these buffers its bytes; a full buffer is written out on the way.
    void Write(const void* data, std::size_t size) {
        if (size < buffer_.size() - used_ && !failed_) {
            std::memcpy(buffer_.data() + used_, data, size);
            used_ += size;
            return;
        }
        WriteSlow(data, size);
    }
    void WriteInt32(std::int32_t value) {
        std::uint8_t bytes[4];
        StoreInt32(bytes, value);
        Write(bytes, sizeof bytes);
    }
    void WriteUInt16(std::uint16_t value) {
        std::uint8_t bytes[2];
        StoreUInt16(bytes, value);
        Write(bytes, sizeof bytes);
    }
    // Writes out what is buffered. False when any write so far failed or came up short.
    bool Flush();
    bool Failed() const { return failed_; }
    // Marks the output as failed without writing, for a value that cannot be stored.
    void SetFailed() { failed_ = true; }

  private:
    void WriteSlow(const void* data, std::size_t size);
    bool WriteOut(const void* data, std::size_t size);

    FileApi& files_;
    FileHandle file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace pavix
