// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screensaver/picture_loader.h"

#include "core/screensaver/picture_size.h"

#include <QImageReader>

namespace dictora {

namespace {

// Some formats (PNG among them) cannot decode straight at a smaller size:
// the whole picture is decoded first, 4 bytes a pixel. Qt's own guard
// against large pictures (256 MB) would refuse much of what the pixel limit
// lets through.
constexpr int kDecodeMegabytes = int(kMostPicturePixels * 4 / (1024 * 1024)) + 1;

} // namespace

PictureLoader::PictureLoader(QObject* parent) : QObject(parent)
{
    worker_.setMaxThreadCount(1);
    if (QImageReader::allocationLimit() < kDecodeMegabytes)
        QImageReader::setAllocationLimit(kDecodeMegabytes);
}

PictureLoader::~PictureLoader()
{
    latest_ = -1; // nothing queued starts any more
    worker_.waitForDone();
}

PictureLoader::Result PictureLoader::decode(const QString& path, const QSize& screen)
{
    Result result;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    result.declared = reader.size(); // the header only
    if (isPictureRefused(result.declared)) {
        result.outcome = result.declared.isEmpty() ? Outcome::Unreadable : Outcome::TooLarge;
        return result;
    }
    reader.setScaledSize(pictureDecodeSize(result.declared, screen));
    result.image = reader.read();
    result.outcome = result.image.isNull() ? Outcome::Unreadable : Outcome::Loaded;
    return result;
}

void PictureLoader::load(const QString& path, const QSize& screen)
{
    const int request = ++latest_;
    ++pending_;
    worker_.start([this, request, path, screen] {
        Result result;
        if (request == latest_)
            result = decode(path, screen);
        QMetaObject::invokeMethod(
            this,
            [this, request, path, result] {
                --pending_;
                if (request == latest_)
                    emit finished(path, result);
            },
            Qt::QueuedConnection);
    });
}

void PictureLoader::cancel()
{
    ++latest_;
}

bool PictureLoader::busy() const
{
    return pending_ > 0;
}

} // namespace dictora
