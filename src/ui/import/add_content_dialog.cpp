// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/add_content_dialog.h"

#include "core/shell/window_placement.h"
#include "ui/widgets/screen_places.h"

#include "core/import/choice_notes.h"
#include "core/import/content_files.h"
#include "core/import/import_settings.h"
#include "core/import/section_choice.h"
#include "core/import/section_confirmation.h"
#include "core/import/section_media.h"
#include "core/import/sentence_language.h"
#include "core/media/media_commands.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "core/study/window_messages.h"
#include "ui/import/alignment_progress_dialog.h"
#include "ui/import/content_change_dialog.h"
#include "ui/import/dialog_units.h"
#include "ui/import/film_track_dialog.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <optional>

namespace dictora {

namespace {

const QString kMediaFilter =
    QStringLiteral("音频文件(*.mp3 *.wav *.wma);;视频文件(*.mp4 *.avi *.rm *.mpeg *.mkv)");

void colourField(QWidget* field, const QColor& text)
{
    QPalette colours = field->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, kSettingsBackground);
        colours.setColor(group, QPalette::Window, kSettingsBackground);
        colours.setColor(group, QPalette::Text, text);
        colours.setColor(group, QPalette::WindowText, text);
    }
    colours.setColor(QPalette::Disabled, QPalette::Base, kSettingsBackground);
    colours.setColor(QPalette::Disabled, QPalette::Window, kSettingsBackground);
    field->setPalette(colours);
}

QLineEdit* lengthField(QWidget* parent, const QRect& place, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(place);
    field->setAlignment(Qt::AlignCenter);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    colourField(field, kSettingsInputText);
    return field;
}

} // namespace

struct AddContentDialog::Choice {
    SectionChoice section;
};

AddContentDialog::AddContentDialog(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      panel_(panel), choice_(std::make_unique<Choice>())
{
    setObjectName(QStringLiteral("addContentDialog"));
    setModal(true);
    setAcceptDrops(true);
    setFont(dialogFont());
    const DialogUnits du(font());
    setFixedSize(du.size(232, 142));
    QPalette colours = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::Window, kSettingsBackground);
    colours.setColor(QPalette::Active, QPalette::WindowText, kSettingsText);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, kSettingsText);
    setPalette(colours);
    setAutoFillBackground(true);

    titleField_ = new QLineEdit(this);
    titleField_->setObjectName(QStringLiteral("titleField"));
    titleField_->setGeometry(du.rect(7, 7, 170, 14));
    colourField(titleField_, kSettingsInputText);

    textButton_ = new QPushButton(QStringLiteral("文本"), this);
    textButton_->setObjectName(QStringLiteral("textButton"));
    textButton_->setGeometry(du.rect(182, 7, 43, 14));

    mediaField_ = new QPlainTextEdit(this);
    mediaField_->setObjectName(QStringLiteral("mediaField"));
    mediaField_->setGeometry(du.rect(7, 25, 170, 26));
    mediaField_->setReadOnly(true);
    mediaField_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    mediaField_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    colourField(mediaField_, kSettingsInputText);

    mediaButton_ = new QPushButton(QStringLiteral("影音"), this);
    mediaButton_->setObjectName(QStringLiteral("mediaButton"));
    mediaButton_->setGeometry(du.rect(182, 25, 43, 14));

    auto* lengthLabel =
        new QLabel(QStringLiteral("媒体文件时间长度:\n(用来校准时间点, 可以不填)"), this);
    lengthLabel->setAlignment(Qt::AlignCenter);
    lengthLabel->setGeometry(du.rect(7, 55, 112, 20));

    hoursField_ = lengthField(this, du.rect(123, 58, 24, 13), "hoursField");
    minutesField_ = lengthField(this, du.rect(155, 58, 24, 13), "minutesField");
    secondsField_ = lengthField(this, du.rect(187, 58, 24, 13), "secondsField");
    for (const int left : {148, 180}) {
        auto* colon = new QLabel(QStringLiteral(":"), this);
        colon->setAlignment(Qt::AlignCenter);
        colon->setGeometry(du.rect(left, 58, 6, 13));
    }

    copyBox_ = new QCheckBox(
        QStringLiteral("复制媒体文件到安装位置的 Media 目录下 (媒体文件不大时, 推荐复制)"), this);
    copyBox_->setObjectName(QStringLiteral("copyBox"));
    copyBox_->setGeometry(du.rect(7, 77, 222, 10));
    colourField(copyBox_, kSettingsInputText);

    // Tidy reading: markup, lyric tags and word times left out of the
    // sentences. The learner's last choice is kept in the program folder.
    tidyBox_ = new QCheckBox(QStringLiteral("整理歌词与字幕标签"), this);
    tidyBox_->setObjectName(QStringLiteral("tidyBox"));
    tidyBox_->setGeometry(du.rect(7, 91, 108, 10));
    colourField(tidyBox_, kSettingsInputText);

    // Times found by listening: offered for a text and a media file chosen
    // together; a text with times of its own (subtitles) is re-timed.
    alignBox_ = new QCheckBox(QStringLiteral("自动对齐时间"), this);
    alignBox_->setObjectName(QStringLiteral("alignBox"));
    alignBox_->setGeometry(du.rect(7, 104, 108, 10));
    colourField(alignBox_, kSettingsInputText);

    // What was chosen, by name, and the suggestion of tidy reading for a
    // text with tags or markup.
    chosenLine_ = new QLabel(this);
    chosenLine_->setObjectName(QStringLiteral("chosenFilesLine"));
    chosenLine_->setGeometry(du.rect(7, 118, 218, 10));
    tidyNote_ = new QLabel(this);
    tidyNote_->setObjectName(QStringLiteral("tidySuggestion"));
    tidyNote_->setGeometry(du.rect(7, 128, 218, 11));
    tidyNote_->setStyleSheet(QStringLiteral("color: rgb(180, 60, 0);"));
    connect(tidyBox_, &QCheckBox::toggled, this, &AddContentDialog::refreshNotes);
    connect(alignBox_, &QCheckBox::toggled, this, &AddContentDialog::refreshNotes);

    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(du.rect(120, 89, 50, 14));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setGeometry(du.rect(175, 89, 50, 14));

    // Files dropped anywhere on the dialog reach the dialog, not the fields.
    for (QWidget* field :
         {static_cast<QWidget*>(titleField_), static_cast<QWidget*>(mediaField_),
          mediaField_->viewport(), static_cast<QWidget*>(hoursField_),
          static_cast<QWidget*>(minutesField_), static_cast<QWidget*>(secondsField_)})
        field->setAcceptDrops(false);

    connect(textButton_, &QPushButton::clicked, this, &AddContentDialog::chooseTextFile);
    connect(mediaButton_, &QPushButton::clicked, this, &AddContentDialog::chooseMediaFile);
    connect(copyBox_, &QCheckBox::clicked, this, &AddContentDialog::copyBoxClicked);
    connect(okButton_, &QPushButton::clicked, this, &AddContentDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

AddContentDialog::~AddContentDialog() = default;

int AddContentDialog::openForCurrentRow()
{
    return openModal({});
}

int AddContentDialog::openWithFile(const QString& presetPath)
{
    return openModal(presetPath);
}

QString AddContentDialog::unitName() const
{
    if (panel_.services().library)
        return panel_.services().library->unitName();
    return QFileInfo(panel_.state().unitFilePath).completeBaseName();
}

UnitMediaFolder AddContentDialog::mediaFolder() const
{
    return {panel_.services().folder, unitName()};
}

int AddContentDialog::openModal(const QString& presetPath)
{
    *choice_ = {};
    titleField_->clear();
    titleField_->setReadOnly(false);
    mediaField_->clear();
    for (QLineEdit* field : {hoursField_, minutesField_, secondsField_})
        field->clear();
    setWindowTitle(QString());
    copyBox_->setChecked(false);
    tidyBox_->setChecked(loadTidyReading(panel_.services().folder));
    setLengthAndCopyEnabled(false);
    alignBox_->setChecked(false);
    offerAlignment();
    textTagged_ = false;
    textTimed_ = true;
    shownTitle_.clear();
    refreshNotes();

    const SentenceTable& table = panel_.services().sentences;
    choice_->section.targetRow = panel_.state().currentRow;
    if (!presetPath.isEmpty()) {
        choice_->section.targetRow = droppedFileTarget(table, panel_.state().currentRow);
        titleField_->setReadOnly(true);
        ApplyChosenFile(presetPath, true);
    } else {
        const int titleRow = sectionTitleRow(table, choice_->section.targetRow);
        if (titleRow < 0)
            return QDialog::Rejected;
        choice_->section.targetRow = titleRow;
        const SectionView view = openingView(table, titleRow, mediaFolder());
        showView(view);
        const LengthFields length =
            lengthFieldsFor(table.field(titleRow, MediaLengthMs).toLongLong());
        hoursField_->setText(length.hours);
        minutesField_->setText(length.minutes);
        secondsField_->setText(length.seconds);
    }
    if (QWidget* over = panel_.window())
        move(centredOn(frameGeometry().size(), over->geometry(), workAreaOf(over)).topLeft());
    show();
    raise();
    activateWindow();
    // The dialog is made once: the keyboard would stay with the button that
    // closed it last. A dropped file leaves nothing to type, so Enter
    // confirms; otherwise the title is there to type.
    if (presetPath.isEmpty())
        titleField_->setFocus(Qt::OtherFocusReason);
    else
        okButton_->setFocus(Qt::OtherFocusReason);
    return exec();
}

void AddContentDialog::ApplyChosenFile(const QString& path, bool companionSearch)
{
    const SentenceTable& table = panel_.services().sentences;
    noteTypedTitle(choice_->section, titleField_->text(), shownTitle_);
    applyChosenFile(table, choice_->section, path, companionSearch);
    showView(chosenFileView(table, choice_->section, mediaFolder()));
    offerAlignment();
    const bool text = choice_->section.textChosen;
    textTagged_ = text && textHasTagsOrMarkup(choice_->section.textPath);
    textTimed_ = !text || textHasTimes(choice_->section.textPath);
    refreshNotes();
}

void AddContentDialog::offerAlignment()
{
    const SectionChoice& section = choice_->section;
    alignBox_->setEnabled(section.textChosen && section.mediaChosen &&
                          QFileInfo(section.mediaPath).isFile());
}

void AddContentDialog::refreshNotes()
{
    chosenLine_->setText(chosenFilesLine(choice_->section));
    QString note = tidySuggestion(textTagged_, tidyBox_->isChecked());
    if (note.isEmpty())
        note = alignmentSuggestion(textTimed_, alignBox_->isEnabled(), alignBox_->isChecked());
    tidyNote_->setText(note);
}

void AddContentDialog::showView(const SectionView& view)
{
    setWindowTitle(view.caption());
    titleField_->setText(view.title);
    shownTitle_ = view.title;
    mediaField_->setPlainText(view.mediaText);
    if (view.copyChecked)
        copyBox_->setChecked(*view.copyChecked);
    if (view.mediaFound)
        setLengthAndCopyEnabled(true);
}

void AddContentDialog::setLengthAndCopyEnabled(bool enabled)
{
    for (QWidget* field : {static_cast<QWidget*>(hoursField_), static_cast<QWidget*>(minutesField_),
                           static_cast<QWidget*>(secondsField_), static_cast<QWidget*>(copyBox_)})
        field->setEnabled(enabled);
}

void AddContentDialog::chooseTextFile()
{
    const ProgramFolder& folder = panel_.services().folder;
    const QString path =
        QFileDialog::getOpenFileName(this, {}, loadLastFolder(folder), textFileFilter());
    if (path.isEmpty())
        return;
    saveLastFolder(folder, path);
    titleField_->setReadOnly(true);
    ApplyChosenFile(path, true);
}

void AddContentDialog::chooseMediaFile()
{
    const ProgramFolder& folder = panel_.services().folder;
    const QString path =
        QFileDialog::getOpenFileName(this, {}, loadLastFolder(folder), kMediaFilter);
    if (path.isEmpty())
        return;
    saveLastFolder(folder, path);
    ApplyChosenFile(path, true);
}

void AddContentDialog::copyBoxClicked()
{
    choice_->section.mediaChosen = true;
    choice_->section.mediaPath =
        mediaPathFromField(mediaField_->toPlainText(), panel_.services().sentences,
                           choice_->section.targetRow, mediaFolder());
}

void AddContentDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void AddContentDialog::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    const StudyState& state = panel_.state();
    if (!state.isNotebook && state.editMode) {
        for (const QUrl& url : event->mimeData()->urls()) {
            const QString path = url.toLocalFile();
            if (IsTextFile(path) || IsMediaFile(path)) {
                ApplyChosenFile(path, false);
                return;
            }
        }
    }
    playErrorCue(panel_.services().media);
}

void AddContentDialog::confirm()
{
    StudyServices& services = panel_.services();
    noteTypedTitle(choice_->section, titleField_->text(), shownTitle_);
    SectionConfirmation confirmation;
    confirmation.choice = choice_->section;
    confirmation.titleText = titleField_->text();
    confirmation.mediaLengthMs =
        lengthFromFields({hoursField_->text(), minutesField_->text(), secondsField_->text()});
    confirmation.copyChecked = copyBox_->isChecked();
    confirmation.tidy = tidyBox_->isChecked();
    const QString caption = panel_.window() ? panel_.window()->windowTitle() : QString();
    if (confirmation.tidy != loadTidyReading(services.folder) &&
        !saveTidyReading(services.folder, confirmation.tidy))
        QMessageBox::warning(this, caption,
                             QStringLiteral("整理歌词与字幕标签: 选择没能保存到 ") +
                                 services.folder.cfgFolder() + QStringLiteral("Import.ini"));

    // A film chosen without a subtitle file offers its own tracks; a cancel
    // or a refusal leaves the dialog open and the Unit as it was.
    std::vector<SentenceRow> filmRows;
    // Why prepared rows wait for the learner's look, row by row; empty: none.
    std::vector<std::optional<ReviewReason>> reviewReasons;
    if (!confirmation.choice.textChosen && confirmation.choice.mediaChosen) {
        const QString& film = confirmation.choice.mediaPath;
        const QString title = confirmation.titleText.isEmpty() ? QFileInfo(film).completeBaseName()
                                                               : confirmation.titleText;
        QString refusal;
        bool fromPictures = false;
        switch (offerFilmTracks(this, film, languageOfRows(services.sentences.rows()),
                                makeImportedRow(title, film, confirmation.mediaLengthMs), filmRows,
                                refusal, &fromPictures)) {
        case FilmTrackOffer::Cancelled:
            return;
        case FilmTrackOffer::Refused:
            QMessageBox::information(this, caption, refusal);
            return;
        case FilmTrackOffer::Read:
            if (!refusal.isEmpty())
                QMessageBox::information(this, caption, refusal);
            confirmation.choice.textChosen = true;
            confirmation.choice.textPath = film;
            confirmation.preparedRows = &filmRows;
            if (fromPictures)
                reviewReasons.assign(filmRows.size(), ReviewReason::ReadFromPicture);
            break;
        case FilmTrackOffer::NoTracks:
            break;
        }
    }

    // The panel's question dialog; one of our own only for a panel made
    // without its owned windows.
    std::optional<ContentChangeDialog> ownQuestion;
    ContentChangeDialog* question = panel_.contentChange();
    if (!question)
        question = &ownQuestion.emplace(panel_, this);
    // The question comes before the alignment and before any change: its
    // "取消" leaves the dialog open and the Unit as it was. A file the import
    // refuses anyway is refused without asking.
    std::optional<GivenAnswer> answer;
    if (asksContentChange(services.sentences, confirmation.choice) &&
        (confirmation.preparedRows || CheckTextFile(confirmation.choice.textPath).status ==
                                          TextImportOutcome::Status::Imported)) {
        const ContentChangeChoice choice = question->ask();
        if (choice == ContentChangeChoice::Cancel)
            return;
        answer.emplace(choice);
    }

    // Alignment next: a cancel or a refusal leaves the dialog open and the
    // Unit as it was.
    std::vector<SentenceRow> alignedRows;
    QString alignmentNotice;
    if (!confirmation.preparedRows && alignBox_->isEnabled() && alignBox_->isChecked()) {
        TextImportRequest request;
        request.textPath = confirmation.choice.textPath;
        request.mediaPath = confirmation.choice.mediaPath;
        request.mediaLengthMs = confirmation.mediaLengthMs;
        request.tidy = confirmation.tidy;
        request.titleField = confirmation.titleText;
        QString refusal;
        if (!alignChosenText(this, request, alignedRows, refusal, alignmentNotice,
                             &reviewReasons)) {
            if (!refusal.isEmpty())
                QMessageBox::information(this, caption, refusal);
            return;
        }
        confirmation.preparedRows = &alignedRows;
    }

    ContentChangeQuestion& asked = answer ? static_cast<ContentChangeQuestion&>(*answer)
                                          : static_cast<ContentChangeQuestion&>(*question);
    const SectionConfirmationOutcome outcome =
        confirmSection(services.sentences, services.state, confirmation, mediaFolder(), asked);

    if (outcome.import.status == TextImportOutcome::Status::Refused ||
        outcome.import.status == TextImportOutcome::Status::Unreadable)
        QMessageBox::information(this, caption, outcome.import.message);
    if (outcome.import.status == TextImportOutcome::Status::Imported && services.library &&
        confirmation.preparedRows && !reviewReasons.empty())
        services.library->reviewMarks().markImported(outcome.import.targetRow + 1,
                                                     *confirmation.preparedRows, reviewReasons);
    if (outcome.import.status == TextImportOutcome::Status::Imported && !alignmentNotice.isEmpty())
        QMessageBox::information(this, caption, alignmentNotice);
    switch (outcome.copy.status) {
    case MediaCopyOutcome::Status::Copied:
        QMessageBox::information(this, caption,
                                 QStringLiteral("复制成功! ") + outcome.copy.destination);
        break;
    case MediaCopyOutcome::Status::Failed:
        QMessageBox::warning(this, caption,
                             QStringLiteral("复制失败! ") + outcome.copy.destination +
                                 QLatin1Char('\n') + windowMessage(outcome.copy.error));
        break;
    case MediaCopyOutcome::Status::NotAsked:
    case MediaCopyOutcome::Status::AlreadyThere:
        break;
    }
    accept();
}

} // namespace dictora
