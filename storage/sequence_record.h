// The records of Sequence.dat as the file holds them, each checked whole before anything is built
// from it: the sequence editor builds Sequence objects from them, the engine keeps them as they
// are and builds a sequence's commands only when the sequence runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/key_chord.h"
#include "model/sequence.h"
#include "storage/binary_io.h"

namespace pavix {

// The commands of a checked record, in the file's form.
struct StoredCommands {
    std::string_view bytes;
    std::uint32_t count = 0;
};

// One checked record; its views point into the bytes it was found in.
struct StoredRecord {
    static constexpr std::size_t kKeySize = 4;

    std::string_view bytes;  // the whole record
    std::string_view name;   // up to its first zero byte, as every text of the file
    std::string_view keys;   // kKeySize bytes a chord
    StoredCommands commands;

    std::size_t KeyCount() const { return keys.size() / kKeySize; }
    KeyChord Key(std::size_t index) const;
};

// The bytes of Sequence.dat after its header, walked record by record. Moving the walker keeps
// the records it gave valid; they live as long as it does.
class StoredRecords {
  public:
    StoredRecords() = default;
    // The first `size` bytes of `bytes`. `complete` is false when the file could not be read to
    // its end: the walk then ends at a damaged record, even where the bytes end between two
    // records.
    StoredRecords(ByteBlock bytes, std::size_t size, bool complete);

    // The next record; false at the end, or at a record that is cut short or holds what the
    // writer never produces (then Damaged), and for ever after.
    bool Next(StoredRecord& record);
    // After Next returned false: true when it stopped at a damaged record, not at the clean end.
    bool Damaged() const { return damaged_; }
    // All the bytes walked, whole records or not.
    std::size_t Size() const { return bytes_.size(); }

  private:
    ByteBlock block_;
    std::string_view bytes_;
    std::size_t offset_ = 0;
    bool complete_ = true;
    bool ended_ = false;
    bool damaged_ = false;
};

// Appends the commands of a checked record to `commands`, in order.
void BuildCommands(const StoredCommands& stored, CommandArray& commands);
// Replaces the name of `sequence` by the record's and appends its chords and commands.
void BuildSequence(const StoredRecord& record, Sequence& sequence);

}  // namespace pavix
