// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <atomic>

namespace dictora {

// Decodes the learner's screensaver pictures away from the user-interface
// thread, so that neither a large picture nor a picture bomb (a small file
// that declares billions of pixels) holds up the study screen, its autosave
// or the foreground guard. A picture's size is read from its header first;
// one above 100 megapixels is refused undecoded, any other is decoded at no
// more than the screen's size.
//
// Threads: decoding runs on one worker thread of the loader's own; results
// come back as a queued signal on the loader's thread. Only the latest
// request counts: a request replaces any earlier one, whose result is
// dropped (and whose decoding is skipped if it has not begun).
class PictureLoader : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Loaded, Unreadable, TooLarge };
    struct Result {
        Outcome outcome = Outcome::Unreadable;
        QImage image;   // at most the screen's size; null unless Loaded
        QSize declared; // the size the picture's header declares
    };

    explicit PictureLoader(QObject* parent = nullptr);
    // Waits for a decoding under way.
    ~PictureLoader() override;

    // Starts decoding a picture for a screen (or window) of this size.
    void load(const QString& path, const QSize& screen);
    // Drops the result of the request under way, if any.
    void cancel();
    bool busy() const;

    // The decoding itself, on the calling thread.
    static Result decode(const QString& path, const QSize& screen);

signals:
    void finished(const QString& path, const dictora::PictureLoader::Result& result);

private:
    QThreadPool worker_;
    std::atomic<int> latest_{0};
    int pending_ = 0; // requests whose result has not come back, on this thread
};

} // namespace dictora
