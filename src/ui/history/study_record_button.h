// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace dictora {

class StudyPanel;

// The progress panel's way into "学习记录": a small item beside the mode
// item, drawn like the status items, that opens the study record window.
class StudyRecordButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 64;

    StudyRecordButton(StudyPanel& panel, QWidget* progressPanel);
    // Right of the mode item's place (modeItem) in the panel.
    static QRect placeBeside(const QRect& modeItem);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StudyPanel& panel_;
    bool hover_ = false;
};

} // namespace dictora
