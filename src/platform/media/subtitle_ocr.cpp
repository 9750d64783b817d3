// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/subtitle_ocr.h"

#include "core/import/subtitle_track.h"
#include "core/import/track_cues.h"

#include <QStringList>

#include <tesseract/baseapi.h>

#include <algorithm>
#include <clocale>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace dictora {

namespace {

constexpr uint8_t kInkThreshold = 128;
constexpr int kLineHeight = 36;

// The height of the tallest run of rows with ink: one line of text.
int lineHeight(const InkPicture& picture)
{
    int tallest = 0, run = 0;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.pixels.data() + size_t(y) * size_t(picture.width);
        const bool ink =
            std::any_of(row, row + picture.width, [](uint8_t p) { return p < kInkThreshold; });
        run = ink ? run + 1 : 0;
        tallest = std::max(tallest, run);
    }
    return tallest;
}

} // namespace

InkPicture prepareForOcr(const InkPicture& picture)
{
    const InkPicture cropped = cropToInk(picture, kInkThreshold, 0);
    if (cropped.empty())
        return cropped;
    const double scale = double(kLineHeight) / std::max(1, lineHeight(cropped));
    // A margin of paper around the text, as on a page.
    const int margin = kLineHeight / 2;
    InkPicture scaled;
    scaled.width = std::max(1, int(cropped.width * scale)) + 2 * margin;
    scaled.height = std::max(1, int(cropped.height * scale)) + 2 * margin;
    scaled.pixels.assign(size_t(scaled.width) * size_t(scaled.height), 255);
    // Bilinear sampling, then the threshold.
    for (int y = margin; y < scaled.height - margin; ++y) {
        const double sy = std::clamp((y - margin + 0.5) / scale - 0.5, 0.0, cropped.height - 1.0);
        const int y0 = int(sy), y1 = std::min(y0 + 1, cropped.height - 1);
        const double fy = sy - y0;
        for (int x = margin; x < scaled.width - margin; ++x) {
            const double sx =
                std::clamp((x - margin + 0.5) / scale - 0.5, 0.0, cropped.width - 1.0);
            const int x0 = int(sx), x1 = std::min(x0 + 1, cropped.width - 1);
            const double fx = sx - x0;
            const auto at = [&](int px, int py) {
                return double(cropped.pixels[size_t(py) * size_t(cropped.width) + size_t(px)]);
            };
            const double value = (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
                                 (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
            scaled.pixels[size_t(y) * size_t(scaled.width) + size_t(x)] =
                value < kInkThreshold ? 0 : 255;
        }
    }
    return scaled;
}

SubtitleOcr::SubtitleOcr() = default;
SubtitleOcr::~SubtitleOcr()
{
    if (api_)
        api_->End();
}

bool SubtitleOcr::open(const QString& language, QString& message)
{
    // Tesseract refuses to start unless numbers are read in the C locale.
    std::setlocale(LC_NUMERIC, "C");
#ifdef _OPENMP
    // Tesseract splits each step of its network over four OpenMP threads.
    // For lines as short as a subtitle's the threads mostly wait for each
    // other: on one core they spin against each other and the reading took
    // six times the CPU, on a busy machine five times the time. One thread
    // per reader, then.
    omp_set_max_active_levels(0);
#endif
    api_ = std::make_unique<tesseract::TessBaseAPI>();
    if (api_->Init(nullptr, language.toUtf8().constData(), tesseract::OEM_LSTM_ONLY) != 0) {
        api_.reset();
        message = QStringLiteral("没有安装 %1 的文字识别数据, 请安装 Debian 软件包 %2.")
                      .arg(language, ocrPackage(language));
        return false;
    }
    // Each line is read on its own: as a block, Tesseract took the gaps
    // between Chinese glyphs of a 1080p picture for columns and read one
    // line as several.
    api_->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    // The picture is always dark letters on light paper: a line read with
    // little confidence gains nothing from a second reading inverted.
    api_->SetVariable("tessedit_do_invert", "0");
    wide_ = language.startsWith(QLatin1String("chi")) || language == QLatin1String("jpn");
    return true;
}

QString SubtitleOcr::read(const InkPicture& picture)
{
    const InkPicture prepared = prepareForOcr(picture);
    if (!api_ || prepared.empty())
        return {};
    QStringList lines;
    for (const auto& [top, bottom] : inkLineBands(prepared, kInkThreshold, kLineHeight / 3)) {
        api_->SetImage(prepared.pixels.data() + size_t(top) * size_t(prepared.width),
                       prepared.width, bottom - top, 1, prepared.width);
        api_->SetSourceResolution(300);
        char* text = api_->GetUTF8Text();
        QString line = QString::fromUtf8(text).simplified();
        delete[] text;
        // Tesseract puts blanks between Chinese and Japanese glyphs.
        if (wide_)
            line.remove(u' ');
        if (!line.isEmpty())
            lines << mendOcrLine(line);
    }
    return lines.join(u'\n');
}

} // namespace dictora
