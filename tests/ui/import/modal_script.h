// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <deque>
#include <functional>

namespace dictora::test {

// Answers the modal dialogs a flow opens, in order: each dialog that is shown
// gets the next step, run from the dialog's own event loop. A dialog that
// appears with no step left is rejected and counted as unexpected.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QDialog&)>;

    ModalScript() { qApp->installEventFilter(this); }
    ~ModalScript() override { qApp->removeEventFilter(this); }

    void then(Step step) { steps_.push_back(std::move(step)); }

    int shown() const { return shown_; }
    int unexpected() const { return unexpected_; }
    bool done() const { return steps_.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
            ++shown_;
            Step step = [this](QDialog& d) {
                ++unexpected_;
                d.reject();
            };
            if (!steps_.empty()) {
                step = std::move(steps_.front());
                steps_.pop_front();
            }
            QTimer::singleShot(0, dialog, [dialog, step] { step(*dialog); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::deque<Step> steps_;
    int shown_ = 0;
    int unexpected_ = 0;
};

} // namespace dictora::test
