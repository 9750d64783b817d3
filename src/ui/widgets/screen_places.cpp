// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/screen_places.h"

#include "core/shell/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace dictora {

QRect workAreaOf(const QWidget* window)
{
    const QScreen* screen =
        window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace dictora

namespace dictora {

namespace {

// Until the window manager has framed a window its margins are unknown; a
// title bar and border of this size are assumed, a little more than usual
// ones, so the guess errs towards the screen's inside.
constexpr QMargins kGuessedFrame{6, 32, 6, 6};

class FramedPlacement : public QObject {
public:
    FramedPlacement(QWidget* window, const QWidget* owner)
        : QObject(window), window_(window), owner_(owner)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show)
            place();
        return false;
    }

private:
    void place()
    {
        const QRect frame = window_->frameGeometry();
        const QRect client = window_->geometry();
        const QMargins margins =
            frame == client
                ? kGuessedFrame
                : QMargins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
        if (wanted_.isEmpty())
            wanted_ = window_->size().expandedTo(window_->sizeHint());
        const QWidget* owner = owner_ ? owner_.data() : window_->parentWidget();
        const QRect area = workAreaOf(window_);
        const QRect ownerRect = owner ? owner->window()->geometry() : area;
        const QRect place = framedWindowPlace(wanted_, margins, ownerRect, area);
        window_->setGeometry(place);
    }

    QWidget* window_;
    QPointer<const QWidget> owner_;
    QSize wanted_;
};

} // namespace

void keepFramedOnScreen(QWidget* window, const QWidget* owner)
{
    if (window)
        new FramedPlacement(window, owner);
}

} // namespace dictora
