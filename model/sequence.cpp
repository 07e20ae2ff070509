#include "model/sequence.h"

#include <utility>

namespace pavix {
namespace {

template <typename Vector>
bool SwapWithNext(Vector& items, std::size_t index) {
    if (index + 1 >= items.size()) {
        return false;
    }
    std::swap(items[index], items[index + 1]);
    return true;
}

template <typename Vector>
bool SwapWithPrevious(Vector& items, std::size_t index) {
    if (index == 0 || index >= items.size()) {
        return false;
    }
    std::swap(items[index - 1], items[index]);
    return true;
}

template <typename Vector>
void EraseAt(Vector& items, std::size_t index) {
    if (index < items.size()) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace

void Sequence::ReplaceKey(std::size_t index, KeyChord chord) {
    if (index < keys_.size()) {
        keys_[index] = chord;
    }
}

void Sequence::RemoveKey(std::size_t index) {
    EraseAt(keys_, index);
}

void Sequence::AppendCommand(std::unique_ptr<Command> command) {
    commands_.push_back(std::move(command));
}

void Sequence::ReplaceCommand(std::size_t index, std::unique_ptr<Command> command) {
    if (index < commands_.size()) {
        commands_[index] = std::move(command);
    }
}

void Sequence::RemoveCommand(std::size_t index) {
    EraseAt(commands_, index);
}

bool Sequence::MoveKeyUp(std::size_t index) {
    return SwapWithPrevious(keys_, index);
}
bool Sequence::MoveKeyDown(std::size_t index) {
    return SwapWithNext(keys_, index);
}
bool Sequence::MoveCommandUp(std::size_t index) {
    return SwapWithPrevious(commands_, index);
}
bool Sequence::MoveCommandDown(std::size_t index) {
    return SwapWithNext(commands_, index);
}

void Sequence::Clear() {
    keys_.clear();
    commands_.clear();
}

std::size_t SequenceList::AddSequence() {
    sequences_.push_back(std::make_unique<Sequence>("Sequence"));
    return sequences_.size() - 1;
}

std::size_t SequenceList::DuplicateSequence(std::size_t index) {
    if (index >= sequences_.size()) {
        return sequences_.size();
    }
    const Sequence& source = *sequences_[index];
    auto copy = std::make_unique<Sequence>(source.Name());
    for (KeyChord chord : source.Keys()) {
        copy->AppendKey(chord);
    }
    for (const auto& command : source.Commands()) {
        copy->AppendCommand(Clone(*command));
    }
    copy->SetName(copy->Name() + "$");
    sequences_.push_back(std::move(copy));
    return sequences_.size() - 1;
}

void SequenceList::RemoveSequence(std::size_t index) {
    EraseAt(sequences_, index);
}

bool SequenceList::MoveSequenceUp(std::size_t index) {
    return SwapWithPrevious(sequences_, index);
}

bool SequenceList::MoveSequenceDown(std::size_t index) {
    return SwapWithNext(sequences_, index);
}

}  // namespace pavix
