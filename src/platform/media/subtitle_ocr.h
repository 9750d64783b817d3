// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/pgs_picture.h"

#include <QString>

#include <memory>

namespace tesseract {
class TessBaseAPI;
}

namespace dictora {

// Reads the text of subtitle pictures with Tesseract. Each picture is
// cropped to its ink, scaled so that a line of text is about 36 pixels high
// (where Tesseract reads best, and 1080p glyphs are no longer taken for
// their neighbours: I/l, c/e), binarised, and read as one block of one or
// two lines. One reader is opened once and reads every picture of a track
// on the thread that opened it, with Tesseract kept to that one thread.
class SubtitleOcr {
public:
    SubtitleOcr();
    ~SubtitleOcr();

    // Loads the Tesseract language ("eng", "chi_sim" ...); false with the
    // learner's message, naming the Debian package, when its data is missing.
    bool open(const QString& language, QString& message);

    // The recognised lines, joined by "\n"; empty when nothing was read.
    QString read(const InkPicture& picture);

private:
    std::unique_ptr<tesseract::TessBaseAPI> api_;
    bool wide_ = false; // Chinese or Japanese: no blanks between the glyphs
};

// The picture prepared for OCR as SubtitleOcr::read prepares it: cropped,
// scaled to the line height and binarised to 0 and 255.
InkPicture prepareForOcr(const InkPicture& picture);

} // namespace dictora
