#include "platform/linux/portal/bindings.h"

#include <algorithm>
#include <cctype>

#include "platform/constants.h"
#include "platform/linux/portal/shortcut_names.h"

namespace pavix {
namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool Names(std::string_view desktops, std::string_view desktop) {
    while (!desktops.empty()) {
        const std::size_t colon = std::min(desktops.find(':'), desktops.size());
        if (SameWord(desktops.substr(0, colon), desktop)) {
            return true;
        }
        desktops.remove_prefix(std::min(colon + 1, desktops.size()));
    }
    return false;
}

std::uint32_t KeyOf(PackedChord chord) {
    return chord >> 16;
}

std::uint32_t ModifiersOf(PackedChord chord) {
    return chord & 0xFFFF;
}

}  // namespace

PortalRules RulesOf(std::string_view currentDesktops, std::string_view kdeSessionVersion) {
    PortalRules rules;
    if (Names(currentDesktops, "KDE")) {
        rules.shortcutsAtCreate = kdeSessionVersion == "5";
        rules.rebind = !rules.shortcutsAtCreate;
    } else if (Names(currentDesktops, "GNOME")) {
        rules.bindAsks = true;
    }
    return rules;
}

std::string PortalBindings::IdOf(PackedChord chord) {
    return ShortcutId(ModifiersOf(chord), KeyOf(chord));
}

std::uint32_t PortalBindings::Register(WindowHandle window, std::int32_t id, PackedChord chord) {
    if (holders_.count(chord) != 0) {
        return kErrorHotkeyAlreadyRegistered;
    }
    passPending_ = true;
    if (refused_.count(chord) != 0) {
        rejected_.insert(chord);
        return kErrorAccessDenied;
    }
    const auto found = hotkeys_.find({window, id});
    if (found != hotkeys_.end()) {
        Forget(found);  // the id now stands for the new chord
    }
    hotkeys_[{window, id}] = chord;
    holders_[chord] = {window, id};
    ids_[IdOf(chord)] = chord;
    return kErrorSuccess;
}

// A pass that leaves no hotkey starts the gathering over: the refused chords it asked for
// belong to registrations that are gone.
bool PortalBindings::Unregister(WindowHandle window, std::int32_t id) {
    const auto found = hotkeys_.find({window, id});
    const bool registered = found != hotkeys_.end();
    if (registered) {
        Forget(found);
    }
    if (hotkeys_.empty()) {
        rejected_.clear();
    }
    return registered;
}

void PortalBindings::Forget(Hotkeys::iterator found) {
    holders_.erase(found->second);
    ids_.erase(IdOf(found->second));
    hotkeys_.erase(found);
    passPending_ = true;
}

// A chord whose key has no trigger is accepted and never heard, as a key the keyboard lacks
// is on X11.
PortalBindings::Chords PortalBindings::Wanted() const {
    Chords wanted = rejected_;
    for (const auto& [chord, holder] : holders_) {
        if (!PortalTrigger(ModifiersOf(chord), KeyOf(chord)).empty()) {
            wanted.insert(chord);
        }
    }
    return wanted;
}

std::vector<PackedChord> PortalBindings::Ask(StepKind kind, Waiting waiting, const Chords& chords) {
    waiting_ = waiting;
    asking_ = chords;
    return kind == StepKind::kListShortcuts
               ? std::vector<PackedChord>()
               : std::vector<PackedChord>(chords.begin(), chords.end());
}

// A pass that asks for part of what the session holds needs no bind: the engine stops
// registering a sequence at its first refused chord, so the pass after a refusal asks for less,
// and a chord no sequence uses any more is held in vain but never heard. Only where binding
// again asks the user nothing (and the part holds no refused chord) the smaller set is bound,
// which frees the rest for other programs.
bool PortalBindings::Covers(const Chords& wanted) const {
    if (wanted == held_) {
        return true;
    }
    if (!std::includes(held_.begin(), held_.end(), wanted.begin(), wanted.end())) {
        return false;
    }
    const bool refusedAmong = std::any_of(wanted.begin(), wanted.end(), [this](PackedChord chord) {
        return refused_.count(chord) != 0;
    });
    return !rules_.rebind || refusedAmong;
}

PortalBindings::Step PortalBindings::Next() {
    if (waiting_ != Waiting::kNothing) {
        return Step{};
    }
    if (passPending_) {
        wanted_ = Wanted();
        passPending_ = false;
    }
    const bool keep = wanted_.empty() && rules_.bindAsks;
    if (!session_.empty() && !keep) {
        if (sessionBound_ && !wanted_.empty() && Covers(wanted_)) {
            return Step{};
        }
        if (!sessionBound_ && rules_.bindAsks && !listed_) {
            return Step{StepKind::kListShortcuts,
                        Ask(StepKind::kListShortcuts, Waiting::kList, wanted_)};
        }
        if (!wanted_.empty() && (!sessionBound_ || rules_.rebind)) {
            return Step{StepKind::kBindShortcuts,
                        Ask(StepKind::kBindShortcuts, Waiting::kBind, wanted_)};
        }
        session_.clear();
        sessionBound_ = false;
        held_.clear();
        return Step{StepKind::kCloseSession, {}};
    }
    if (!session_.empty() || wanted_.empty() ||
        (createFailed_ &&
         std::includes(held_.begin(), held_.end(), wanted_.begin(), wanted_.end()))) {
        return Step{};
    }
    std::vector<PackedChord> chords = Ask(StepKind::kCreateSession, Waiting::kCreate, wanted_);
    if (!rules_.shortcutsAtCreate) {
        chords.clear();
    }
    return Step{StepKind::kCreateSession, std::move(chords)};
}

bool PortalBindings::Created(bool ok, const std::string& sessionHandle) {
    waiting_ = Waiting::kNothing;
    if (!ok || sessionHandle.empty()) {
        const bool changed = Hold(asking_, asking_);
        sessionBound_ = false;
        createFailed_ = true;
        return changed;
    }
    session_ = sessionHandle;
    sessionBound_ = false;
    listed_ = false;
    return rules_.shortcutsAtCreate && Hold(asking_, {});
}

// Only exactly what is wanted counts as kept: a desktop lists what it has on file for the
// program, which need not be bound (KDE lists it without a bind, so KDE never asks).
bool PortalBindings::Listed(bool ok, const std::vector<std::string>& ids) {
    waiting_ = Waiting::kNothing;
    listed_ = true;
    std::set<std::string> wanted;
    for (const PackedChord chord : asking_) {
        wanted.insert(IdOf(chord));
    }
    return ok && std::set<std::string>(ids.begin(), ids.end()) == wanted && Hold(asking_, {});
}

bool PortalBindings::Bound(std::uint32_t response, const std::vector<std::string>& ids) {
    waiting_ = Waiting::kNothing;
    const std::set<std::string> bound(ids.begin(), ids.end());
    Chords refused;
    for (const PackedChord chord : asking_) {
        if (response != 0 || bound.count(IdOf(chord)) == 0) {
            refused.insert(chord);
        }
    }
    return Hold(asking_, refused);
}

bool PortalBindings::Hold(const Chords& asked, const Chords& refused) {
    held_ = asked;
    sessionBound_ = true;
    createFailed_ = false;
    const bool changed = refused != refused_;
    refused_ = refused;
    return changed;
}

std::optional<PortalBindings::Hotkey> PortalBindings::Activated(const std::string& sessionHandle,
                                                                const std::string& id) const {
    if (session_.empty() || sessionHandle != session_) {
        return std::nullopt;
    }
    const auto found = ids_.find(id);
    if (found == ids_.end()) {
        return std::nullopt;
    }
    const auto& holder = holders_.at(found->second);
    return Hotkey{holder.first, holder.second, found->second};
}

}  // namespace pavix
