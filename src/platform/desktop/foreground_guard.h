// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>

namespace dictora {

class AllowList;
struct ForeignWindowInfo;
class WindowSource;

// Keeps other programs from covering the running dictation screensaver. On
// every tick (100 ms) it looks at the window in front; a window of another
// program that lies over the screensaver and is not on the allow list is
// minimised at once, asked to close two ticks later and has its process
// ended at the fifth tick. If it still covers the screensaver after that,
// the screensaver gives up (closeScreensaver) and the process is ended once
// more, now without asking.
//
// It never acts on this program's own windows, nor on another copy of this
// program (the same executable name): a second start only shows why it
// cannot run, and the learner must see that. Nor on the window manager's, on
// a window of another user's process, or on the desktop and the panels.
// A window whose process may not be ended (ForeignWindowInfo::mayEnd: the
// X server cannot name it, it runs on another host, it is another login's)
// is only minimised. A window that changes owner between ticks is a new
// intruder.
class ForegroundGuard {
public:
    enum class Action { None, Minimise, Wait, RequestClose, EndProcess };

    struct Step {
        bool acted = false; // something was done: bring the study screen back
        Action action = Action::None;
        bool closeScreensaver = false; // the intruder outlasted the whole sequence
    };

    ForegroundGuard(WindowSource& source, const AllowList& allowList, qint64 ownProcessId,
                    const QString& ownExecutableName = {});

    // One tick. screensaverWindow and screensaverRect: the screensaver's own
    // window on the desktop and its place on the screen.
    Step guard(quint64 screensaverWindow, const QRect& screensaverRect);

    quint64 intruder() const { return intruder_; }
    int intruderTicks() const { return intruderTicks_; }

private:
    bool isIntruder(const ForeignWindowInfo& info, const QRect& screensaverRect,
                    quint64 screensaverWindow);
    bool liesAbove(quint64 window, quint64 screensaverWindow);

    WindowSource& source_;
    const AllowList& allowList_;
    qint64 ownProcessId_;
    QString ownExecutableName_;
    quint64 intruder_ = 0;
    qint64 intruderPid_ = 0;
    quint64 intruderStart_ = 0;
    int intruderTicks_ = 0;
};

} // namespace dictora
