// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace dictora {

// What /proc tells about one process, as much as the foreground guard needs
// to decide whether it may end it. A process id alone names no process for
// long: with startTime it names one run of one program.
struct ProcessFacts {
    qint64 pid = 0;
    bool known = false;     // /proc could be read; every other field is 0 when not
    qint64 threadGroup = 0; // the process a thread id belongs to (Tgid)
    quint64 startTime = 0;  // clock ticks after boot (/proc/PID/stat field 22)
    qint64 realUid = -1;
    qint64 effectiveUid = -1;
    // The audit login of the process (/proc/PID/loginuid, /proc/PID/sessionid);
    // kNoLogin on systems that keep no login records.
    quint32 loginUid = kNoLogin;
    quint32 loginSession = kNoLogin;

    static constexpr quint32 kNoLogin = 0xFFFFFFFFu;
};

ProcessFacts readProcessFacts(qint64 pid);

// The start time in a line of /proc/PID/stat, 0 when the line is damaged.
// The program name (field 2) may hold blanks and parentheses of its own.
quint64 startTimeFromStat(const QByteArray& statLine);

// Why the foreground guard must not end a process, or Allowed when it may.
// (Not "None": Xlib defines that as a macro.)
enum class EndRefusal {
    Allowed,
    Unknown,       // gone, or /proc cannot be read
    Init,          // PID 1 (and the kernel's 0)
    ThisProgram,   // this process, or a thread id of it
    WindowManager, // ending it would take every window's frame away
    OtherUser,     // runs as (or has become) another user
    OtherLogin,    // this user, but another login (another seat, ssh, a
                   // root daemon when this program runs as root)
};

// self: this program's own facts; windowManager: the process of the window
// manager, 0 when none is known.
EndRefusal endRefusal(const ProcessFacts& target, const ProcessFacts& self, qint64 windowManager);

} // namespace dictora
