// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/film_reading_dialog.h"

namespace dictora {

FilmReadingDialog::FilmReadingDialog(QWidget* owner)
    : WorkProgressDialog(owner, QStringLiteral("filmReadingDialog"), QStringLiteral("读取视频字幕"),
                         QStringLiteral("filmReadingProgress"),
                         QStringLiteral("正在读取字幕: %p%"))
{
}

FilmSubtitleRows FilmReadingDialog::run(const FilmSubtitleRequest& request,
                                        const SentenceRow& blank)
{
    FilmSubtitleRows result;
    const bool done = runWork(
        [&](const Report& report) { result = readFilmSubtitleRows(request, blank, report); });
    if (!done) {
        result = {};
        result.cancelled = true;
    }
    return result;
}

} // namespace dictora
