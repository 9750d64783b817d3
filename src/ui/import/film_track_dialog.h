// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/subtitle_track.h"
#include "core/study/sentence_table.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QPushButton;

namespace dictora {

// Offers the subtitle tracks of a film chosen without a subtitle file: the
// track whose cues become the sentences, and a second one for the prompt
// line, each shown by its language in Chinese, codec and title.
class FilmTrackDialog : public QDialog {
    Q_OBJECT
public:
    FilmTrackDialog(const QString& filmName, const std::vector<SubtitleTrack>& tracks,
                    const TrackChoice& preset, QWidget* owner);

    // The chosen tracks (prompt -1 for "无").
    TrackChoice chosen() const;

    QComboBox* sentenceBox() const { return sentenceBox_; }
    QComboBox* promptBox() const { return promptBox_; }
    QPushButton* okButton() const { return okButton_; }

private:
    QComboBox* sentenceBox_ = nullptr;
    QComboBox* promptBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// What offering a film's tracks came to.
enum class FilmTrackOffer {
    NoTracks,  // not a film with subtitle tracks, or the learner took the film
               // without them: the media is taken alone
    Read,      // `rows` hold the chosen tracks' cues; `message` asks for a look
               // over text read from pictures
    Cancelled, // the learner cancelled: nothing changes
    Refused,   // the tracks cannot be read: `message` says why
};

// For a chosen media file without a text file: when it is a film with
// subtitle tracks, asks which to take and reads their rows, each a copy of
// `blank`, with the reading's progress shown and cancellable. The tracks
// offered first are those of `targetLanguage` (ISO 639-1, the language of
// the Unit's sentences) and a Chinese prompt. fromPictures (when given)
// tells whether the sentences were read from pictures by OCR.
FilmTrackOffer offerFilmTracks(QWidget* owner, const QString& mediaPath,
                               const QString& targetLanguage, const SentenceRow& blank,
                               std::vector<SentenceRow>& rows, QString& message,
                               bool* fromPictures = nullptr);

} // namespace dictora
