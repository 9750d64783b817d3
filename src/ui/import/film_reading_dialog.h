// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/film_subtitles.h"

#include "ui/import/work_progress_dialog.h"

namespace dictora {

class FilmReadingDialog : public WorkProgressDialog {
    Q_OBJECT
public:
    explicit FilmReadingDialog(QWidget* owner);

    // Reads the rows; returns when done or cancelled (`cancelled` set).
    FilmSubtitleRows run(const FilmSubtitleRequest& request, const SentenceRow& blank);
};

} // namespace dictora
