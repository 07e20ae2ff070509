// When the portal backend asks the desktop for what, on each desktop's rules, driven as the
// engine drives the hotkey calls: enabling passes of whole sets, and Disable.
#include "platform/linux/portal/bindings.h"

#include <gtest/gtest.h>

#include "platform/constants.h"

namespace pavix {
namespace {

using Kind = PortalBindings::StepKind;

constexpr WindowHandle kWindow = 0x10000;
constexpr PackedChord kCtrlAltP = 'P' << 16 | (kModControl | kModAlt);
constexpr PackedChord kCtrlAltQ = 'Q' << 16 | (kModControl | kModAlt);
constexpr PackedChord kShiftF5 = 0x74 << 16 | kModShift;
constexpr PackedChord kNoKey = 0x07 << 16 | kModControl;  // a code that names no key

class Desktop {
  public:
    explicit Desktop(PortalRules rules) : bindings(rules) {}

    // The engine's pass: everything it held goes, then each chord under the next id; the codes
    // of the calls that failed.
    std::vector<std::uint32_t> Enable(const std::vector<PackedChord>& chords) {
        Disable();
        std::vector<std::uint32_t> errors;
        for (const PackedChord chord : chords) {
            const std::uint32_t error = bindings.Register(kWindow, ids_, chord);
            ids_ += error == 0 ? 1 : 0;
            errors.push_back(error);
        }
        return errors;
    }
    void Disable() {
        for (std::int32_t id = 0; id < ids_; ++id) {
            bindings.Unregister(kWindow, id);
        }
        ids_ = 0;
    }
    // The steps after a pass that each get `answer` (0 ok, 1 cancelled), with every chord bound
    // unless `bound` names the ids; whether a step said the refusals changed.
    std::vector<PortalBindings::Step> Steps(std::uint32_t answer = 0,
                                            const std::vector<std::string>* bound = nullptr) {
        std::vector<PortalBindings::Step> steps;
        for (PortalBindings::Step step = bindings.Next(); step.kind != Kind::kNone;
             step = bindings.Next()) {
            steps.push_back(step);
            std::vector<std::string> ids;
            if (step.kind == Kind::kCreateSession) {
                refusalsChanged |=
                    bindings.Created(answer != 2, "/session/" + std::to_string(++sessions_));
            } else if (step.kind == Kind::kListShortcuts) {
                refusalsChanged |= bindings.Listed(true, listed);
            } else if (step.kind == Kind::kBindShortcuts) {
                for (const PackedChord chord : step.chords) {
                    ids.push_back(IdOf(chord));
                }
                refusalsChanged |= bindings.Bound(answer, bound != nullptr ? *bound : ids);
            }
        }
        return steps;
    }
    std::vector<Kind> Kinds(std::uint32_t answer = 0,
                            const std::vector<std::string>* bound = nullptr) {
        std::vector<Kind> kinds;
        for (const PortalBindings::Step& step : Steps(answer, bound)) {
            kinds.push_back(step.kind);
        }
        return kinds;
    }
    static std::string IdOf(PackedChord chord);

    PortalBindings bindings;
    std::vector<std::string> listed;  // what ListShortcuts answers
    bool refusalsChanged = false;

  private:
    std::int32_t ids_ = 0;
    int sessions_ = 0;
};

std::string Desktop::IdOf(PackedChord chord) {
    return chord == kCtrlAltP ? "ctrl-alt-p" : chord == kCtrlAltQ ? "ctrl-alt-q" : "shift-f5";
}

const PortalRules kKde5 = RulesOf("KDE", "5");
const PortalRules kKde6 = RulesOf("KDE", "6");
const PortalRules kGnome = RulesOf("ubuntu:GNOME", "");
const PortalRules kOther = RulesOf("Hyprland", "");

TEST(PortalBindingsTest, DesktopsAreToldApartByTheirNames) {
    EXPECT_TRUE(kKde5.shortcutsAtCreate && !kKde5.rebind && !kKde5.bindAsks);
    EXPECT_TRUE(!kKde6.shortcutsAtCreate && kKde6.rebind && !kKde6.bindAsks);
    EXPECT_TRUE(!kGnome.shortcutsAtCreate && !kGnome.rebind && kGnome.bindAsks);
    EXPECT_TRUE(!kOther.shortcutsAtCreate && !kOther.rebind && !kOther.bindAsks);
    EXPECT_TRUE(RulesOf("gnome", "").bindAsks);
    EXPECT_FALSE(RulesOf("GNOME-Flashback-X", "").bindAsks);
}

// Nothing is asked while the pass goes on, one set once it is done, nothing again for the same
// set, and the chords that have no key stay out of it.
TEST(PortalBindingsTest, APassIsBoundOnceAsOneSetAndTheSameSetNeverAgain) {
    Desktop kde(kKde6);
    kde.Enable({kCtrlAltP, kShiftF5, kNoKey});
    EXPECT_TRUE(kde.bindings.PassPending());
    const std::vector<PortalBindings::Step> steps = kde.Steps();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, Kind::kCreateSession);
    EXPECT_TRUE(steps[0].chords.empty());
    EXPECT_EQ(steps[1].kind, Kind::kBindShortcuts);
    EXPECT_EQ(steps[1].chords, (std::vector<PackedChord>{kCtrlAltP, kShiftF5}));
    kde.Enable({kShiftF5, kCtrlAltP, kNoKey});
    EXPECT_TRUE(kde.Kinds().empty());
    EXPECT_FALSE(kde.refusalsChanged);
}

TEST(PortalBindingsTest, EachDesktopBindsANewSetItsOwnWay) {
    const struct {
        PortalRules rules;
        std::vector<Kind> first, changed, disabled, enabledAgain;
    } cases[] = {
        // Plasma 5.27: only CreateSession carries shortcuts; Disable frees them.
        {kKde5,
         {Kind::kCreateSession},
         {Kind::kCloseSession, Kind::kCreateSession},
         {Kind::kCloseSession},
         {Kind::kCreateSession}},
        // Plasma 6: binds again on its session.
        {kKde6,
         {Kind::kCreateSession, Kind::kBindShortcuts},
         {Kind::kBindShortcuts},
         {Kind::kCloseSession},
         {Kind::kCreateSession, Kind::kBindShortcuts}},
        // GNOME: one bind per session, its kept shortcuts looked at first, held while disabled.
        {kGnome,
         {Kind::kCreateSession, Kind::kListShortcuts, Kind::kBindShortcuts},
         {Kind::kCloseSession, Kind::kCreateSession, Kind::kListShortcuts, Kind::kBindShortcuts},
         {},
         {}},
        {kOther,
         {Kind::kCreateSession, Kind::kBindShortcuts},
         {Kind::kCloseSession, Kind::kCreateSession, Kind::kBindShortcuts},
         {Kind::kCloseSession},
         {Kind::kCreateSession, Kind::kBindShortcuts}},
    };
    for (const auto& c : cases) {
        Desktop desktop(c.rules);
        desktop.Enable({kCtrlAltP});
        EXPECT_EQ(desktop.Kinds(), c.first);
        desktop.Enable({kCtrlAltP, kCtrlAltQ});
        EXPECT_EQ(desktop.Kinds(), c.changed);
        desktop.Disable();
        EXPECT_EQ(desktop.Kinds(), c.disabled);
        desktop.Enable({kCtrlAltP, kCtrlAltQ});
        EXPECT_EQ(desktop.Kinds(), c.enabledAgain);
        EXPECT_FALSE(desktop.refusalsChanged);
    }
}

TEST(PortalBindingsTest, KdeFivePutsTheShortcutsIntoCreateSession) {
    Desktop kde(kKde5);
    kde.Enable({kShiftF5, kCtrlAltQ});
    const std::vector<PortalBindings::Step> steps = kde.Steps();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].chords, (std::vector<PackedChord>{kCtrlAltQ, kShiftF5}));
}

// A restart on GNOME finds its shortcuts kept and asks the user nothing; a different list is
// no binding of this set.
TEST(PortalBindingsTest, GnomeBindsNothingWhenItKeptExactlyTheSet) {
    Desktop gnome(kGnome);
    gnome.listed = {"ctrl-alt-p", "shift-f5"};
    gnome.Enable({kShiftF5, kCtrlAltP});
    EXPECT_EQ(gnome.Kinds(), (std::vector<Kind>{Kind::kCreateSession, Kind::kListShortcuts}));
    Desktop other(kGnome);
    other.listed = {"ctrl-alt-p"};
    other.Enable({kShiftF5, kCtrlAltP});
    EXPECT_EQ(other.Kinds().back(), Kind::kBindShortcuts);
}

// What the desktop does not bind fails the engine's next registration of it, which is how the
// engine hears of a refusal; the same set is not asked for again, a new one is.
TEST(PortalBindingsTest, RefusedChordsFailTheirRegistrationUntilANewSetBindsThem) {
    Desktop kde(kKde6);
    kde.Enable({kCtrlAltP, kShiftF5});
    const std::vector<std::string> subset = {"shift-f5"};
    kde.Steps(0, &subset);
    EXPECT_TRUE(kde.refusalsChanged);
    EXPECT_EQ(kde.bindings.Refused(), (std::set<PackedChord>{kCtrlAltP}));
    EXPECT_EQ(kde.Enable({kCtrlAltP, kShiftF5}),
              (std::vector<std::uint32_t>{kErrorAccessDenied, kErrorSuccess}));
    EXPECT_TRUE(kde.Kinds().empty());
    EXPECT_EQ(kde.bindings.Register(kWindow, 9, kShiftF5), kErrorHotkeyAlreadyRegistered);

    kde.refusalsChanged = false;
    kde.Enable({kCtrlAltP, kShiftF5, kCtrlAltQ});
    const std::vector<PortalBindings::Step> steps = kde.Steps();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].chords, (std::vector<PackedChord>{kCtrlAltP, kCtrlAltQ, kShiftF5}));
    EXPECT_TRUE(kde.refusalsChanged);  // ctrl-alt-p is bound now: the engine enables again
    EXPECT_EQ(kde.Enable({kCtrlAltP})[0], kErrorSuccess);
}

TEST(PortalBindingsTest, ACancelledDialogOrAFailedPortalRefusesTheWholeSetOnce) {
    for (const std::uint32_t answer : {1u, 2u}) {
        Desktop gnome(kGnome);
        gnome.Enable({kCtrlAltP, kShiftF5});
        gnome.Steps(answer);
        EXPECT_TRUE(gnome.refusalsChanged);
        EXPECT_EQ(gnome.bindings.Refused(), (std::set<PackedChord>{kCtrlAltP, kShiftF5}));
        EXPECT_EQ(gnome.Enable({kCtrlAltP, kShiftF5}),
                  (std::vector<std::uint32_t>{kErrorAccessDenied, kErrorAccessDenied}));
        EXPECT_TRUE(gnome.Kinds().empty()) << answer;
        // The engine stops a sequence at its first refused chord: the pass asks for less.
        EXPECT_EQ(gnome.Enable({kCtrlAltP})[0], kErrorAccessDenied);
        EXPECT_TRUE(gnome.Kinds().empty()) << answer;
    }
}

TEST(PortalBindingsTest, ASmallerSetIsBoundOnlyWhereBindingAgainAsksNothing) {
    for (const PortalRules& rules : {kKde5, kKde6, kGnome, kOther}) {
        Desktop desktop(rules);
        desktop.Enable({kCtrlAltP, kShiftF5});
        desktop.Kinds();
        desktop.Enable({kShiftF5});
        EXPECT_EQ(desktop.Kinds(),
                  rules.rebind ? std::vector<Kind>{Kind::kBindShortcuts} : std::vector<Kind>{});
    }
}

// The editor tries a chord with a probe id that it unregisters at once: that asks for nothing.
TEST(PortalBindingsTest, AProbeOfARefusedChordWhileDisabledAsksForNothing) {
    Desktop kde(kKde6);
    kde.Enable({kCtrlAltP});
    kde.Steps(1);
    kde.Disable();
    kde.Kinds();
    EXPECT_EQ(kde.bindings.Register(kWindow, -1, kCtrlAltP), kErrorAccessDenied);
    EXPECT_FALSE(kde.bindings.Unregister(kWindow, -1));
    EXPECT_TRUE(kde.Kinds().empty());
}

TEST(PortalBindingsTest, PressesCountOnlyInTheOwnSessionAndWhileAHotkeyHoldsTheChord) {
    Desktop gnome(kGnome);
    gnome.Enable({kShiftF5, kCtrlAltP});
    gnome.Steps();
    const std::string session = gnome.bindings.SessionHandle();
    const auto pressed = gnome.bindings.Activated(session, "ctrl-alt-p");
    ASSERT_TRUE(pressed.has_value());
    EXPECT_EQ(pressed->window, kWindow);
    EXPECT_EQ(pressed->id, 1);
    EXPECT_EQ(pressed->chord, kCtrlAltP);
    EXPECT_FALSE(gnome.bindings.Activated("/session/other", "ctrl-alt-p"));
    EXPECT_FALSE(gnome.bindings.Activated(session, "ctrl-alt-x"));
    gnome.Disable();
    gnome.Kinds();
    EXPECT_EQ(gnome.bindings.SessionHandle(), session);  // held, and its presses ignored
    EXPECT_FALSE(gnome.bindings.Activated(session, "ctrl-alt-p"));
}

}  // namespace
}  // namespace pavix
