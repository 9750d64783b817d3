// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/foreground_guard.h"

#include "core/screensaver/allow_list.h"
#include "platform/desktop/window_source.h"

#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace dictora {
namespace {

constexpr qint64 kOwnPid = 4000;
constexpr quint64 kScreensaver = 1;
constexpr quint64 kIntruder = 7;
const QRect kScreensaverRect{-1, -1, 802, 602};

// A made-up desktop: the screensaver, one foreign window over it, and a log
// of what the guard did.
class FakeDesktop : public WindowSource {
public:
    FakeDesktop()
    {
        ForeignWindowInfo own;
        own.id = kScreensaver;
        own.pid = kOwnPid;
        own.sameUser = true;
        own.frame = kScreensaverRect;
        own.viewable = true;
        windows[kScreensaver] = own;

        ForeignWindowInfo other;
        other.id = kIntruder;
        other.pid = 5000;
        other.processStart = 123;
        other.sameUser = true;
        other.mayEnd = true;
        other.executableName = "xterm";
        other.className = "XTerm";
        other.title = "bash";
        other.frame = QRect(40, 30, 484, 316);
        other.viewable = true;
        windows[kIntruder] = other;

        stack = {kScreensaver, kIntruder};
        front = kIntruder;
    }

    quint64 foregroundWindow() override { return front; }
    ForeignWindowInfo describe(quint64 window) override { return windows.value(window); }
    QList<quint64> stackingOrder() override { return stack; }
    void minimise(quint64 window) override { log << QStringLiteral("minimise %1").arg(window); }
    void requestClose(quint64 window) override { log << QStringLiteral("close %1").arg(window); }
    bool endProcess(const ForeignWindowInfo& decidedOn, bool force) override
    {
        log << QString::fromLatin1(force ? "kill %1" : "end %1").arg(decidedOn.id);
        endedOn << decidedOn;
        return true;
    }

    quint64 front = 0;
    QMap<quint64, ForeignWindowInfo> windows;
    QList<quint64> stack;
    QStringList log;
    QList<ForeignWindowInfo> endedOn;
};

using Action = ForegroundGuard::Action;

struct Tick {
    Action action;
    bool acted;
    bool closeScreensaver;
};

std::vector<Tick> run(ForegroundGuard& guard, int ticks)
{
    std::vector<Tick> seen;
    for (int i = 0; i < ticks; ++i) {
        const ForegroundGuard::Step step = guard.guard(kScreensaver, kScreensaverRect);
        seen.push_back({step.action, step.acted, step.closeScreensaver});
    }
    return seen;
}

bool operator==(const Tick& a, const Tick& b)
{
    return a.action == b.action && a.acted == b.acted && a.closeScreensaver == b.closeScreensaver;
}

void PrintTo(const Tick& t, std::ostream* os)
{
    *os << "{action " << int(t.action) << ", acted " << t.acted << ", close " << t.closeScreensaver
        << "}";
}

TEST(ForegroundGuard, MinimisesThenAsksToCloseThenEndsTheProcessThenGivesUp)
{
    FakeDesktop desktop;
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);

    const std::vector<Tick> expected{
        {Action::Minimise, true, false},     {Action::Wait, true, false},
        {Action::RequestClose, true, false}, {Action::Wait, true, false},
        {Action::EndProcess, true, false},   {Action::EndProcess, true, true},
    };
    EXPECT_EQ(run(guard, 6), expected);
    EXPECT_EQ(desktop.log, QStringList({"minimise 7", "close 7", "end 7", "kill 7"}));
    EXPECT_EQ(guard.intruderTicks(), 4);
}

TEST(ForegroundGuard, StartsOverWhenAnotherWindowIsInFront)
{
    FakeDesktop desktop;
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    run(guard, 2);
    desktop.front = kScreensaver;
    EXPECT_FALSE(guard.guard(kScreensaver, kScreensaverRect).acted);
    EXPECT_EQ(guard.intruder(), 0u);

    desktop.front = kIntruder;
    EXPECT_EQ(guard.guard(kScreensaver, kScreensaverRect).action, Action::Minimise);
    EXPECT_EQ(desktop.log, QStringList({"minimise 7", "minimise 7"}));
}

TEST(ForegroundGuard, WithoutMinimiseBoxOrCloseTheProcessIsStillEndedAtTheFifthTick)
{
    FakeDesktop desktop;
    desktop.windows[kIntruder].canMinimise = false;
    desktop.windows[kIntruder].canClose = false;
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    run(guard, 5);
    EXPECT_EQ(desktop.log, QStringList({"end 7"}));
}

TEST(ForegroundGuard, LeavesAloneWhatIsNotAnIntruder)
{
    struct Case {
        const char* name;
        std::function<void(FakeDesktop&)> arrange;
        QByteArray allowList = {};
    };
    const Case cases[] = {
        {"this program's own window", [](FakeDesktop& d) { d.windows[kIntruder].pid = kOwnPid; }},
        {"another copy of this program",
         [](FakeDesktop& d) { d.windows[kIntruder].executableName = "dictora"; }},
        {"the screensaver itself", [](FakeDesktop& d) { d.front = kScreensaver; }},
        {"a process of another user",
         [](FakeDesktop& d) { d.windows[kIntruder].sameUser = false; }},
        {"the window manager's window",
         [](FakeDesktop& d) { d.windows[kIntruder].windowManager = true; }},
        {"the desktop or a panel",
         [](FakeDesktop& d) { d.windows[kIntruder].desktopOrPanel = true; }},
        {"nothing in front", [](FakeDesktop& d) { d.front = 0; }},
        {"below the screensaver",
         [](FakeDesktop& d) {
             d.stack = {kIntruder, kScreensaver};
         }},
        {"not listed by the window manager", [](FakeDesktop& d) { d.stack = {kScreensaver}; }},
        {"not visible", [](FakeDesktop& d) { d.windows[kIntruder].viewable = false; }},
        {"apart from the screensaver",
         [](FakeDesktop& d) { d.windows[kIntruder].frame = QRect(802, 0, 100, 100); }},
        {"allowed by executable", [](FakeDesktop&) {}, "xterm"},
        {"allowed by class", [](FakeDesktop&) {}, "XTERM"},
        {"allowed by title", [](FakeDesktop&) {}, "bash"},
    };
    for (const Case& c : cases) {
        FakeDesktop desktop;
        c.arrange(desktop);
        const AllowList allow = AllowList::fromText(c.allowList);
        ForegroundGuard guard(desktop, allow, kOwnPid, "dictora");
        for (const Tick& tick : run(guard, 6))
            EXPECT_FALSE(tick.acted) << c.name;
        EXPECT_TRUE(desktop.log.isEmpty()) << c.name;
    }
}

TEST(ForegroundGuard, AWindowWhoseProcessMayNotBeEndedIsOnlyMinimised)
{
    // The X server cannot name its owner (a client over the network).
    FakeDesktop desktop;
    desktop.windows[kIntruder].pid = 0;
    desktop.windows[kIntruder].sameUser = false;
    desktop.windows[kIntruder].mayEnd = false;
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    const std::vector<Tick> ticks = run(guard, 6);
    EXPECT_EQ(desktop.log, QStringList({"minimise 7"}));
    EXPECT_TRUE(ticks.back().closeScreensaver);
}

TEST(ForegroundGuard, AWindowThatChangesOwnerIsANewIntruder)
{
    FakeDesktop desktop;
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    run(guard, 3);
    // The process ended and another run under the same id took the window
    // over: what was decided about the first one does not carry over.
    desktop.windows[kIntruder].processStart = 456;
    run(guard, 5);
    EXPECT_EQ(desktop.log,
              QStringList({"minimise 7", "close 7", "minimise 7", "close 7", "end 7"}));
    ASSERT_EQ(desktop.endedOn.size(), 1);
    EXPECT_EQ(desktop.endedOn.first().pid, 5000);
    EXPECT_EQ(desktop.endedOn.first().processStart, 456u);
}

TEST(ForegroundGuard, AWindowThatOnlyTouchesTheEdgeCovers)
{
    FakeDesktop desktop;
    // The screensaver ends at x 800; a window from x 801 touches it.
    desktop.windows[kIntruder].frame = QRect(801, 0, 100, 100);
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    EXPECT_TRUE(guard.guard(kScreensaver, kScreensaverRect).acted);
}

TEST(ForegroundGuard, AScreensaverTheWindowManagerDoesNotListIsBelowTheRest)
{
    FakeDesktop desktop;
    desktop.stack = {kIntruder};
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, kOwnPid);
    EXPECT_TRUE(guard.guard(kScreensaver, kScreensaverRect).acted);
}

} // namespace
} // namespace dictora
