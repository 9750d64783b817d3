// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QPoint>
#include <QString>

class QObject;

namespace dictora {

// The one value for "no row", "no position" and "no length". Compare with
// < 0, not with equality, unless a rule says otherwise.
inline constexpr int kNone = -1000;

// What is open, which row is current, which mode is on and which span of the
// media plays: the record every window and rule shares. It is owned by the
// application, handed to each window by reference, and written only on the
// user-interface thread, so it needs no locking.
struct StudyState {
    int currentRow = kNone;
    bool isNotebook = false;
    bool unitModified = false;
    bool soundOn = true;
    // At most one of the three modes is on; all off is Browse mode.
    bool editMode = false;
    bool dictationMode = false;
    bool lineByLineMode = false;
    // The whole answer is shown marked under the answer box after Enter
    // (a choice of the voice settings, for this run).
    bool showAnswerMarks = true;
    int openMediaLengthMs = kNone; // length the media device reports for MYSHOW
    int spanEndMs = kNone;         // end of the current sentence's span, media time
    int playToMs = kNone;          // where the running playback stops
    int playFromMs = kNone;        // where the running playback started
    QString unitFilePath;
    QString mediaFilePath;
    // Every rule reads the time from here, never from a clock of its own, so
    // tests can set any date. The frame's 20 ms timer refreshes it.
    QDateTime now = QDateTime::currentDateTime();
    QPoint cursorPos;
    const QObject* windowUnderCursor = nullptr;
    const QObject* foregroundWindow = nullptr;

    bool isBrowseMode() const { return !editMode && !dictationMode && !lineByLineMode; }
};

} // namespace dictora
