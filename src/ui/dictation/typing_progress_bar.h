// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

namespace dictora {

// The thin bar over the prompt line that shows how many of the sentence's
// letters have been typed: orange while letters are missing, green when the
// counts agree, red when more were typed than the sentence has.
class TypingProgressBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPercent = 110;

    explicit TypingProgressBar(QWidget* form);

    // Places and colours the bar for percent p in a form W pixels wide; in
    // Dictation mode only, else the bar has no size.
    void setPercent(int percent, int formWidth, bool dictationMode);
    int percent() const { return percent_; }
    QColor colour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int percent_ = 0;
};

} // namespace dictora
