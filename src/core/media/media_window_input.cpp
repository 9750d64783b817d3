// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/media_window_input.h"

#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <qnamespace.h>

#include <cstdlib>

namespace dictora {

namespace {

constexpr int kSizingStrip = 5;
constexpr int kDragThreshold = 4;

} // namespace

MediaKeyDown mediaKeyDown(const KeyPress& press, const ListeningContext& context)
{
    MediaKeyDown down;
    down.listening = listeningKeyStep(press, context);
    if (down.listening.swallow) {
        down.action = MediaKeyAction::Listen;
        return down;
    }
    switch (press.key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        down.action = MediaKeyAction::Swallow;
        break;
    case Qt::Key_Space:
        down.action = MediaKeyAction::TogglePlayback;
        break;
    default:
        break;
    }
    return down;
}

MediaKeyAction mediaKeyUp(int key, bool enlarged, bool dictationMode, bool hasCurrentRow)
{
    // Escape leaves the full screen in every mode: it is the one way out a
    // learner tries without a mouse.
    if (key == Qt::Key_Escape && enlarged)
        return MediaKeyAction::Restore;
    if (dictationMode || !hasCurrentRow)
        return MediaKeyAction::Swallow;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return MediaKeyAction::SelectPrevious;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return MediaKeyAction::SelectNext;
    default:
        return MediaKeyAction::Swallow;
    }
}

PlaybackToggle mediaPlaybackToggle(const QString& mode, bool paused)
{
    if (mode == QLatin1String("playing"))
        return PlaybackToggle::Pause;
    if (paused)
        return PlaybackToggle::Resume;
    return PlaybackToggle::Replay;
}

int neighbourSentenceRow(const SentenceTable& table, int currentRow, int step)
{
    if (currentRow < 0)
        return kNone;
    const int row = currentRow + step;
    if (!table.isValidRow(row) || !table.isSentence(row))
        return kNone;
    return row;
}

QRect centredMediaRect(const QSize& screen)
{
    return QRect((screen.width() - kMediaWindowSize.width()) / 2,
                 (screen.height() - kMediaWindowSize.height()) / 2, kMediaWindowSize.width(),
                 kMediaWindowSize.height());
}

bool inSizingCorner(const QPoint& point, const QSize& window)
{
    return point.x() >= window.width() - kSizingStrip ||
           point.y() >= window.height() - kSizingStrip;
}

bool isWindowDrag(const QPoint& pressed, const QPoint& now)
{
    return std::abs(now.x() - pressed.x()) > kDragThreshold ||
           std::abs(now.y() - pressed.y()) > kDragThreshold;
}

} // namespace dictora
