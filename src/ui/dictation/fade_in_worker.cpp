// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/fade_in_worker.h"

#include "ui/dictation/dictation_form.h"

#include <QMetaObject>

#include <chrono>

namespace dictora {

FadeInWorker::FadeInWorker(DictationForm& form) : form_(form) {}

FadeInWorker::~FadeInWorker()
{
    stop();
}

void FadeInWorker::stop()
{
    stopWanted_ = true;
    if (thread_.joinable())
        thread_.join();
    stopWanted_ = false;
}

void FadeInWorker::start()
{
    stop();
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void FadeInWorker::run()
{
    // Posting is safe from any thread; the form applies each change on its
    // own thread, in order.
    DictationForm* form = &form_;
    QMetaObject::invokeMethod(form, "setAlpha", Qt::QueuedConnection, Q_ARG(int, 0));
    QMetaObject::invokeMethod(form, "automaticStep", Qt::QueuedConnection);
    for (int k = 0; k < kSteps && !stopWanted_; ++k) {
        QMetaObject::invokeMethod(form, "setAlpha", Qt::QueuedConnection,
                                  Q_ARG(int, kAlphaStep* k));
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    running_ = false;
}

} // namespace dictora
