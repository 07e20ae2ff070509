// A named list of chords pressed one after another and the commands they run, and the ordered
// list of all sequences that the editor edits and the sequence file stores.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/command.h"
#include "model/key_chord.h"

namespace pavix {

using CommandArray = std::vector<std::unique_ptr<Command>>;

class Sequence {
  public:
    Sequence() = default;
    explicit Sequence(std::string name) : name_(std::move(name)) {}
    virtual ~Sequence() = default;

    const std::string& Name() const { return name_; }
    const std::vector<KeyChord>& Keys() const { return keys_; }
    const CommandArray& Commands() const { return commands_; }
    // Room for what a record says is coming, so that reading it allocates each array once.
    void ReserveKeys(std::size_t count) { keys_.reserve(count); }
    void ReserveCommands(std::size_t count) { commands_.reserve(count); }

    void SetName(std::string name) { name_ = std::move(name); }
    void AppendKey(KeyChord chord) { keys_.push_back(chord); }
    void ReplaceKey(std::size_t index, KeyChord chord);
    void RemoveKey(std::size_t index);
    void AppendCommand(std::unique_ptr<Command> command);
    void ReplaceCommand(std::size_t index, std::unique_ptr<Command> command);
    void RemoveCommand(std::size_t index);
    // Each returns false, changing nothing, when there is no neighbour to swap with.
    bool MoveKeyUp(std::size_t index);
    bool MoveKeyDown(std::size_t index);
    bool MoveCommandUp(std::size_t index);
    bool MoveCommandDown(std::size_t index);
    void Clear();

  private:
    std::string name_;
    std::vector<KeyChord> keys_;
    CommandArray commands_;
};

class SequenceList {
  public:
    std::size_t Size() const { return sequences_.size(); }
    bool Empty() const { return sequences_.empty(); }
    Sequence& At(std::size_t index) { return *sequences_[index]; }
    const Sequence& At(std::size_t index) const { return *sequences_[index]; }

    void Append(std::unique_ptr<Sequence> sequence) { sequences_.push_back(std::move(sequence)); }
    // Each returns the index of the new sequence, the last.
    std::size_t AddSequence();
    std::size_t DuplicateSequence(std::size_t index);
    void RemoveSequence(std::size_t index);
    bool MoveSequenceUp(std::size_t index);
    bool MoveSequenceDown(std::size_t index);

  private:
    std::vector<std::unique_ptr<Sequence>> sequences_;
};

}  // namespace pavix
