// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace dictora {

// The red line the dictation form puts under the first wrong character of
// an answer.
class MismatchMarker : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 4;

    explicit MismatchMarker(QWidget* form);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dictora
