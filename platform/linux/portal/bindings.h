// Which of the program's hotkeys the desktop's global-shortcuts portal should hold, and when to
// ask it: the decisions of the portal backend without any D-Bus. The program registers chord by
// chord, as on every platform; the desktop binds a whole set of shortcuts at once and may show
// the user a dialog for it, so the registrations of one enabling pass are gathered and the
// portal is asked only once the pass is done, and only when the set differs from what its
// session holds.
//
// The client carries out the steps that Next() gives, one at a time, hands each answer back
// (Created, Listed, Bound) and asks Next() again, until it gives kNone.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace pavix {

// What a desktop's portal backend does with sessions and binds.
struct PortalRules {
    // KDE Plasma 5.27: the shortcuts count only in CreateSession's options, and its
    // BindShortcuts opens the settings page instead: never call it there.
    bool shortcutsAtCreate = false;
    // Plasma 6: BindShortcuts may be called again on a session (its dialog asks only for ids
    // it has not seen). Elsewhere a session takes one bind: a new set needs a new session.
    bool rebind = false;
    // GNOME: every bind shows the user a dialog. A disabled program keeps its binding (and
    // ignores its presses) rather than having the user confirm it again on Enable, and a new
    // session first lists what the desktop kept for the program.
    bool bindAsks = false;
};

// The rules of the desktop that XDG_CURRENT_DESKTOP (a ':'-separated list) and
// KDE_SESSION_VERSION name. An unknown desktop gets one bind per session, and its chords are
// freed on Disable.
PortalRules RulesOf(std::string_view currentDesktops, std::string_view kdeSessionVersion);

// A chord as the hotkey calls take it: the key code times 65536 plus the modifiers.
using PackedChord = std::uint32_t;

class PortalBindings {
  public:
    enum class StepKind {
        kNone,
        kCreateSession,  // with `chords` in its options when the rules say so
        kListShortcuts,
        kBindShortcuts,  // `chords`
        kCloseSession,   // needs no answer
    };
    struct Step {
        StepKind kind = StepKind::kNone;
        std::vector<PackedChord> chords;
    };
    struct Hotkey {
        WindowHandle window = 0;
        std::int32_t id = 0;
        PackedChord chord = 0;
    };

    explicit PortalBindings(PortalRules rules) : rules_(rules) {}

    // RegisterHotKey's error code: 0, or kErrorHotkeyAlreadyRegistered for a chord that another
    // id holds, or kErrorAccessDenied for one that the desktop did not bind when last asked.
    std::uint32_t Register(WindowHandle window, std::int32_t id, PackedChord chord);
    bool Unregister(WindowHandle window, std::int32_t id);
    // Whether hotkeys were registered or unregistered since Next() last looked.
    bool PassPending() const { return passPending_; }

    // The next call to make, once the pass is done and the previous call has been answered.
    Step Next();
    // The answers. A failed call (or an answer other than 0) refuses what it asked for. Each
    // returns true when the chords the desktop refuses changed: the owner of the hotkeys then
    // enables again, so that it hears of the refusals (and of chords no longer refused) through
    // the hotkey calls, as it does on every platform.
    bool Created(bool ok, const std::string& sessionHandle);
    bool Listed(bool ok, const std::vector<std::string>& ids);
    bool Bound(std::uint32_t response, const std::vector<std::string>& ids);

    // The hotkey of the press of shortcut `id` in `sessionHandle`; none for another client's
    // session (older portals send every client's presses to all) and while no hotkey holds it.
    std::optional<Hotkey> Activated(const std::string& sessionHandle, const std::string& id) const;

    // Whether hotkeys are registered (or were refused in this pass): the program is enabled.
    bool Holding() const { return !hotkeys_.empty() || !rejected_.empty(); }
    const std::string& SessionHandle() const { return session_; }
    const std::set<PackedChord>& Refused() const { return refused_; }

  private:
    using Chords = std::set<PackedChord>;
    using Hotkeys = std::map<std::pair<WindowHandle, std::int32_t>, PackedChord>;
    enum class Waiting { kNothing, kCreate, kList, kBind };

    void Forget(Hotkeys::iterator found);
    bool Covers(const Chords& wanted) const;
    Chords Wanted() const;
    std::vector<PackedChord> Ask(StepKind kind, Waiting waiting, const Chords& chords);
    // The session now holds `asked`, of which the desktop refused `refused`.
    bool Hold(const Chords& asked, const Chords& refused);
    static std::string IdOf(PackedChord chord);

    PortalRules rules_;
    Hotkeys hotkeys_;
    std::map<PackedChord, std::pair<WindowHandle, std::int32_t>> holders_;
    std::map<std::string, PackedChord> ids_;  // the shortcut ids of `holders_`
    Chords rejected_;                         // refused chords that this pass asked for anyway
    bool passPending_ = false;
    Chords wanted_;  // as of the last pass
    Waiting waiting_ = Waiting::kNothing;
    Chords asking_;              // what the call waited for asks for
    std::string session_;        // empty while none is open
    bool sessionBound_ = false;  // its shortcuts are bound (or were kept from before)
    bool listed_ = false;        // its ListShortcuts was answered
    bool createFailed_ = false;  // the last CreateSession failed, for `held_`
    Chords held_;  // what the session's bind asked for, or what the failed creation asked for
    Chords refused_;
};

}  // namespace pavix
