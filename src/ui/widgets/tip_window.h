// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/widgets/layered_window.h"

#include <QImage>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace dictora {

struct StudyState;

// The one-line hint balloon the whole program shows at a screen point. It
// never takes the focus, lets clicks through, and hides itself a while after
// the mouse has left the window it belongs to (its owner).
class TipWindow : public LayeredWindow {
    Q_OBJECT
public:
    static constexpr int kHeight = 42;

    // screenWidth: the width the tip keeps 5 pixels inside of. The state
    // gives the cursor position the hiding rule reads.
    TipWindow(QWidget* owner, const StudyState& state, int screenWidth);

    // Shows text at a screen point. Asking again for the same text and owner
    // while the tip shows changes nothing, not even its place.
    void ShowTip(int x, int y, const QString& text, QWidget* owner = nullptr);
    // A non-zero argument does nothing, as callers that pass one expect.
    void HideTip(int keepShown = 0);

    // The dictation form hides its own tips; the tip never hides them by itself.
    void setDictationWindow(QWidget* window) { dictationWindow_ = window; }
    // While this says so (the help card is up), no tip shows: a tip is a
    // window of its own and would lie over the card.
    void setHeldBack(std::function<bool()> heldBack) { heldBack_ = std::move(heldBack); }

    bool tipVisible() const { return visible_; }
    const QString& text() const { return text_; }
    QWidget* tipOwner() const { return owner_; }
    int leaveCount() const { return leaveCount_; }
    QRect tipRect() const { return {x_, y_, width_, kHeight}; }

    static int widthFor(const QString& text) { return 30 * int(text.size()) + 6; }

    // One tick of the 20 ms hiding timer; public so tests can step it.
    void tick();

private:
    void draw();
    QRect ownerRect() const;

    const StudyState& state_;
    int screenWidth_;
    QString text_;
    QPointer<QWidget> owner_;
    bool hasOwner_ = false;
    QPointer<QWidget> dictationWindow_;
    std::function<bool()> heldBack_;
    bool visible_ = false;
    int leaveCount_ = 0;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    QImage background_;
    QTimer timer_;
};

} // namespace dictora
