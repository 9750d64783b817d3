// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/film_track_dialog.h"

#include "ui/import/film_reading_dialog.h"

#include "core/import/content_files.h"
#include "core/import/media_signature.h"
#include "platform/media/film_subtitles.h"
#include "platform/media/subtitle_track_reader.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace dictora {

FilmTrackDialog::FilmTrackDialog(const QString& filmName, const std::vector<SubtitleTrack>& tracks,
                                 const TrackChoice& preset, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("filmTrackDialog"));
    setWindowTitle(QStringLiteral("选择字幕轨道"));
    auto* note =
        new QLabel(QStringLiteral("视频 %1 内含字幕, 请选择导入的字幕轨道:").arg(filmName), this);
    note->setWordWrap(true);
    sentenceBox_ = new QComboBox(this);
    sentenceBox_->setObjectName(QStringLiteral("sentenceTrackBox"));
    promptBox_ = new QComboBox(this);
    promptBox_->setObjectName(QStringLiteral("promptTrackBox"));
    promptBox_->addItem(QStringLiteral("无"), -1);
    for (const SubtitleTrack& track : tracks) {
        const QString label = QStringLiteral("%1: %2").arg(track.index).arg(trackLabel(track));
        sentenceBox_->addItem(label, track.index);
        promptBox_->addItem(label, track.index);
    }
    // The film may be taken as media alone, its sentences typed in later.
    sentenceBox_->addItem(QStringLiteral("不导入字幕, 只用视频"), -1);
    sentenceBox_->setCurrentIndex(std::max(0, sentenceBox_->findData(preset.sentence)));
    promptBox_->setCurrentIndex(std::max(0, promptBox_->findData(preset.prompt)));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("句子:"), sentenceBox_);
    form->addRow(QStringLiteral("提示 (第二行):"), promptBox_);
    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TrackChoice FilmTrackDialog::chosen() const
{
    TrackChoice choice;
    choice.sentence = sentenceBox_->currentData().toInt();
    choice.prompt = promptBox_->currentData().toInt();
    if (choice.prompt == choice.sentence || choice.sentence < 0)
        choice.prompt = -1;
    return choice;
}

FilmTrackOffer offerFilmTracks(QWidget* owner, const QString& mediaPath,
                               const QString& targetLanguage, const SentenceRow& blank,
                               std::vector<SentenceRow>& rows, QString& message,
                               bool* fromPictures)
{
    QFile file(mediaPath);
    if (!file.open(QIODevice::ReadOnly) ||
        containerOf(file.read(kMediaSignatureBytes)) == MediaContainer::Other)
        return FilmTrackOffer::NoTracks;
    file.close();
    const SubtitleTrackList list = listSubtitleTracks(mediaPath);
    if (!list.ok || list.tracks.empty())
        return FilmTrackOffer::NoTracks;

    FilmTrackDialog dialog(QFileInfo(mediaPath).fileName(), list.tracks,
                           chooseTracks(list.tracks, targetLanguage), owner);
    if (dialog.exec() != QDialog::Accepted)
        return FilmTrackOffer::Cancelled;
    const TrackChoice choice = dialog.chosen();
    if (choice.sentence < 0)
        return FilmTrackOffer::NoTracks;
    FilmSubtitleRequest request;
    request.path = mediaPath;
    request.track = choice.sentence;
    request.secondTrack = choice.prompt;
    request.secondTrackChosen = true;
    FilmReadingDialog progress(owner);
    FilmSubtitleRows read = progress.run(request, blank);
    if (read.cancelled)
        return FilmTrackOffer::Cancelled;
    if (!read.ok) {
        message = read.message;
        return FilmTrackOffer::Refused;
    }
    rows = std::move(read.rows);
    if (fromPictures)
        *fromPictures = read.fromPictures;
    message =
        read.fromPictures
            ? QStringLiteral("字幕由图片识别而来, 每一句都标了橙色; 请在编辑模式下核对每一句.")
            : QString();
    if (!read.message.isEmpty())
        message += (message.isEmpty() ? QString() : QStringLiteral(" ")) + read.message;
    return FilmTrackOffer::Read;
}

} // namespace dictora
