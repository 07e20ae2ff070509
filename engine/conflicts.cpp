#include "engine/conflicts.h"

#include <limits>

namespace pavix {
namespace {

using Node = std::uint32_t;
constexpr Node kEmptyList = 0;
constexpr std::uint32_t kNobody = std::numeric_limits<std::uint32_t>::max();

bool Usable(const Sequence& sequence) {
    return !sequence.Keys().empty() && !sequence.Commands().empty();
}

// The chord lists of the usable sequences as a trie: node 0 is the empty list and every other
// node one list, reached from the list one chord shorter. The edges live in one open-addressed
// table keyed by (node, chord), so a step costs the same whatever the length of the list.
class ChordTrie {
  public:
    // `chords`: how many steps will be taken at most, which bounds the number of nodes.
    explicit ChordTrie(std::size_t chords) : firstWith_(1, kNobody) {
        std::size_t capacity = 16;
        while (capacity < chords + chords / 2) {
            capacity *= 2;
        }
        edges_.resize(capacity);
        firstWith_.reserve(chords + 1);
    }

    // The list one `chord` longer than `from`, added when it is new.
    Node Step(Node from, KeyChord chord) {
        const Edge wanted{from, chord.Packed(), static_cast<Node>(firstWith_.size())};
        Edge& edge = Slot(wanted);
        if (edge.to == kEmptyList) {
            edge = wanted;
            firstWith_.push_back(kNobody);
        }
        return edge.to;
    }

    // The first sequence whose chords are exactly the list `node`, kNobody when there is none.
    std::uint32_t FirstWith(Node node) const { return firstWith_[node]; }
    // Records that `sequence` ends at `node`. Called in list order: the first one there stays.
    void EndsAt(Node node, std::size_t sequence) {
        if (firstWith_[node] == kNobody) {
            firstWith_[node] = static_cast<std::uint32_t>(sequence);
        }
    }

  private:
    struct Edge {
        Node from = kEmptyList;
        std::uint32_t chord = 0;
        Node to = kEmptyList;  // the empty list is no edge's end: marks a free slot
    };

    // The slot of the edge from `wanted.from` by `wanted.chord`, or the free slot it would take.
    Edge& Slot(const Edge& wanted) {
        const std::size_t mask = edges_.size() - 1;
        for (std::size_t slot = Mixed(wanted) & mask;; slot = (slot + 1) & mask) {
            Edge& edge = edges_[slot];
            if (edge.to == kEmptyList || (edge.from == wanted.from && edge.chord == wanted.chord)) {
                return edge;
            }
        }
    }

    // Spreads keys that differ in a few low bits of the chord or the node over the whole table.
    static std::uint64_t Mixed(const Edge& edge) {
        std::uint64_t key = static_cast<std::uint64_t>(edge.from) << 32 | edge.chord;
        key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9u;
        key = (key ^ (key >> 27)) * 0x94D049BB133111EBu;
        return key ^ (key >> 31);
    }

    std::vector<Edge> edges_;  // a power of two of slots, at most two thirds of them taken
    std::vector<std::uint32_t> firstWith_;
};

// Why a usable sequence never runs, walking `nodes`, the trie's node after each of its chords.
Conflict FirstBeaten(const Sequence& sequence, std::size_t index, const Node* nodes,
                     const ChordTrie& trie, std::optional<KeyChord> abortChord) {
    const std::vector<KeyChord>& keys = sequence.Keys();
    // The presses are checked one by one: whatever completes or aborts first wins.
    for (std::size_t position = 0; position < keys.size(); ++position) {
        if (abortChord && keys[position] == *abortChord) {
            return {ConflictKind::kAbortChord, 0, position};
        }
        const std::uint32_t first = trie.FirstWith(nodes[position]);
        if (first != kNobody && first != index) {
            const bool whole = position + 1 == keys.size();
            return {whole ? ConflictKind::kSameChords : ConflictKind::kBeginsWith, first, 0};
        }
    }
    return {};
}

}  // namespace

std::vector<Conflict> FindConflicts(const SequenceList& list, std::optional<KeyChord> abortChord) {
    // Each usable sequence's chord list into the trie, with the first sequence of each list marked
    // at its node: that one completes whenever those chords have been pressed.
    std::size_t usableChords = 0;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        usableChords += Usable(list.At(i)) ? list.At(i).Keys().size() : 0;
    }
    ChordTrie trie(usableChords);
    std::vector<Node> nodes;
    nodes.reserve(usableChords);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        if (!Usable(list.At(i))) {
            continue;
        }
        Node node = kEmptyList;
        for (KeyChord chord : list.At(i).Keys()) {
            node = trie.Step(node, chord);
            nodes.push_back(node);
        }
        trie.EndsAt(node, i);
    }

    std::vector<Conflict> conflicts(list.Size());
    std::size_t walked = 0;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const Sequence& sequence = list.At(i);
        if (sequence.Keys().empty()) {
            conflicts[i].kind = ConflictKind::kNoKeys;
        } else if (sequence.Commands().empty()) {
            conflicts[i].kind = ConflictKind::kNoCommands;
        } else {
            conflicts[i] = FirstBeaten(sequence, i, nodes.data() + walked, trie, abortChord);
            walked += sequence.Keys().size();
        }
    }
    return conflicts;
}

}  // namespace pavix
