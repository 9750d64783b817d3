// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <thread>

namespace dictora {

class DictationForm;

// After a right answer the form vanishes, steps once up or down the screen
// and fades in again over about half a second, while the user-interface
// thread goes on loading the next row. The worker thread only sleeps and
// posts: every change of the form (alpha, the step) is queued to the form and
// carried out on the user-interface thread.
class FadeInWorker {
public:
    static constexpr int kAlphaStep = 5;
    static constexpr int kSteps = 52; // alpha 0, 5, ... 255
    static constexpr int kStepMs = 10;

    explicit FadeInWorker(DictationForm& form);
    ~FadeInWorker();

    // Starts a fade; a fade still running is ended first.
    void start();
    bool running() const { return running_; }

private:
    void stop();
    void run();

    DictationForm& form_; // outlives the worker: its destructor joins the thread
    std::thread thread_;
    std::atomic<bool> stopWanted_{false};
    std::atomic<bool> running_{false};
};

} // namespace dictora
