// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/shell/help_texts.h"

#include <QWidget>

namespace dictora {

struct StudyState;

// The help card over the study screen: every gesture and key of the current
// mode, from F1 or the menus' "?" item. Any key or a click closes it. Drawn opaque, so it reads the
// same with or without a compositing manager.
class HelpOverlay : public QWidget {
    Q_OBJECT
public:
    explicit HelpOverlay(const StudyState& state, QWidget* owner = nullptr);

    // Fills the card for the mode the study state is in and shows it in the
    // middle of the work area of the owner's screen.
    void showForCurrentMode();
    HelpMode mode() const { return mode_; }
    const QList<HelpLine>& lines() const { return lines_; }

    // The program's one overlay: made on first use, owned by `owner`.
    static HelpOverlay* instance(const StudyState& state, QWidget* owner);
    // Opens the program's overlay, when one was made.
    static void showHelp();
    // Whether the program's overlay is on the screen.
    static bool helpShown();
    // The height each line takes, its effect wrapped to the card's width.
    const QList<int>& lineHeights() const { return lineHeights_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const StudyState& state_;
    HelpMode mode_ = HelpMode::Browse;
    QList<HelpLine> lines_;
    QList<int> lineHeights_;
    int textPixels_ = 17;
};

} // namespace dictora
