// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/unit_settings_dialog.h"

#include "core/shell/window_placement.h"

#include "core/study/unit_library.h"
#include "core/study/unit_settings_choices.h"
#include "core/study/window_messages.h"
#include "ui/study/progress_panel.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace dictora {

namespace {

constexpr int kFramedAfterMs = 100;

// place moved, not resized, so that it lies inside area where it fits.
QRect keptInside(const QRect& place, const QRect& area)
{
    // Moved only: a dialog is never cut; one larger than the area keeps its
    // top-left corner (title bar and first fields) on the screen.
    const QRect inside = placeInside(place, area);
    return QRect(inside.topLeft(), place.size());
}

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter never presses a button here: the dialog closes only by a click.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

UnitSettingsDialog::UnitSettingsDialog(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog), panel_(panel), library_(panel.services().library)
{
    setObjectName(QStringLiteral("unitSettings"));
    setWindowTitle(QStringLiteral("设置单元参数"));
    setModal(false);

    QPalette ground = palette();
    ground.setColor(QPalette::Disabled, QPalette::Window, kSettingsBackground);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        ground.setColor(group, QPalette::Window, kSettingsBackground);
        ground.setColor(group, QPalette::WindowText, kSettingsText);
        ground.setColor(group, QPalette::ButtonText, kSettingsText);
    }
    setPalette(ground);
    setAutoFillBackground(true);
    QPalette input = ground;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        input.setColor(group, QPalette::Base, kSettingsBackground);
        input.setColor(group, QPalette::Text, kSettingsInputText);
        input.setColor(group, QPalette::ButtonText, kSettingsInputText);
    }

    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("unitName"));
    frequencyList_ = new QComboBox(this);
    frequencyList_->setObjectName(QStringLiteral("reviewFrequency"));
    countEdit_ = new QLineEdit(this);
    countEdit_->setObjectName(QStringLiteral("newPerDay"));
    // Digits and one decimal point: the box also shows the count as "%.2f".
    countEdit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), countEdit_));
    countUnitList_ = new QComboBox(this);
    countUnitList_->setObjectName(QStringLiteral("newPerDayUnit"));
    for (QWidget* w : {static_cast<QWidget*>(nameEdit_), static_cast<QWidget*>(frequencyList_),
                       static_cast<QWidget*>(countEdit_), static_cast<QWidget*>(countUnitList_)})
        w->setPalette(input);

    deleteButton_ = makeButton(QStringLiteral("删除"), QStringLiteral("delete"), this);
    okButton_ = makeButton(QStringLiteral("确定"), QStringLiteral("ok"), this);
    cancelButton_ = makeButton(QStringLiteral("取消"), QStringLiteral("cancel"), this);
    connect(okButton_, &QPushButton::clicked, this, &UnitSettingsDialog::OnOk);
    connect(deleteButton_, &QPushButton::clicked, this, &UnitSettingsDialog::OnDelete);
    connect(cancelButton_, &QPushButton::clicked, this, &UnitSettingsDialog::OnCancel);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->addWidget(new QLabel(QStringLiteral("单元名字:"), this), 0, 0);
    grid->addWidget(nameEdit_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("复习频率:"), this), 1, 0);
    grid->addWidget(frequencyList_, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("每天新学:"), this), 2, 0);
    grid->addWidget(countEdit_, 2, 1);
    grid->addWidget(countUnitList_, 2, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(18);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    if (library_)
        connect(library_, &UnitLibrary::unitOpened, this, &UnitSettingsDialog::unitOpened);
}

void UnitSettingsDialog::showAddUnit()
{
    addMode = 1;
    ShowSettings();
}

void UnitSettingsDialog::showEditUnit()
{
    addMode = 0;
    ShowSettings();
}

void UnitSettingsDialog::ShowSettings()
{
    const bool notebook = library_ && library_->isNotebook();
    deleteButton_->setEnabled(addMode == 0 && library_ && library_->openPosition() > 0 &&
                              !notebook);
    if (addMode)
        fillForAdd();
    else
        fillForEdit();

    adjustSize();
    // Centred on the owner, kept inside the work area.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = screen() ? screen()->availableGeometry() : QRect();
    QRect place(QPoint(0, 0), frameGeometry().size());
    place.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    move(keptInside(place, area).topLeft());
    // The unit library pop-up would hide itself as soon as this dialog has
    // the focus, and give the focus back to the study screen; it goes first.
    if (UnitListDialog* list = panel_.unitList())
        list->ShowPopup(false);
    show();
    raise();
    activateWindow();
    // The owner is the strip along the bottom of the screen: before the
    // window manager has framed the dialog its title bar is not counted, so
    // the buttons could end up below the screen. Once framed, it is pulled
    // back inside if need be.
    QTimer::singleShot(kFramedAfterMs, this, [this] {
        if (!isVisible() || !screen())
            return;
        const QRect place = keptInside(frameGeometry(), screen()->availableGeometry());
        if (place.topLeft() != frameGeometry().topLeft())
            move(place.topLeft());
    });
    // The name is what a learner changes first: typing replaces it.
    nameEdit_->setFocus(Qt::ActiveWindowFocusReason);
    nameEdit_->selectAll();
}

void UnitSettingsDialog::setListEntries(QComboBox* list, const QStringList& entries)
{
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->itemText(i);
    if (shown == entries)
        return;
    list->clear();
    list->addItems(entries);
}

void UnitSettingsDialog::fillForAdd()
{
    setWindowTitle(QStringLiteral("添加单元"));
    nameEdit_->setReadOnly(false);
    nameEdit_->setText(QStringLiteral("新单元"));
    setListEntries(frequencyList_, frequencyChoices());
    frequencyList_->setCurrentIndex(1);
    count_ = 1.0f;
    countEdit_->setText(newPerDayText(count_));
    setListEntries(countUnitList_, countUnitChoices());
    countUnitList_->setCurrentIndex(1);
}

void UnitSettingsDialog::fillForEdit()
{
    if (!library_)
        return;
    const bool notebook = library_->isNotebook();
    setWindowTitle(library_->unitName() + QStringLiteral(" - 配置"));
    nameEdit_->setReadOnly(notebook);
    QStringList frequencies = frequencyChoices();
    QStringList countUnits = countUnitChoices();
    if (notebook) {
        frequencies = frequencies.mid(0, kNotebookChoiceCount);
        countUnits = countUnits.mid(0, kNotebookChoiceCount);
    }
    setListEntries(frequencyList_, frequencies);
    setListEntries(countUnitList_, countUnits);
    nameEdit_->setText(library_->unitName());
    const UnitHeader& header = library_->header();
    frequencyList_->setCurrentIndex(
        frequencyPosition(header.reviewFrequency, frequencyList_->count()));
    count_ = header.newPerDay;
    countEdit_->setText(newPerDayText(count_));
    countUnitList_->setCurrentIndex(
        countUnitPosition(header.newPerDayUnit, countUnitList_->count()));
}

void UnitSettingsDialog::unitOpened()
{
    // The dialog follows the open Unit while it shows its settings.
    if (isVisible() && addMode == 0)
        ShowSettings();
}

bool UnitSettingsDialog::takeCount()
{
    const std::optional<float> count = parseNewPerDay(countEdit_->text());
    if (!count) {
        showMessage(newPerDayMessage());
        countEdit_->setFocus();
        countEdit_->selectAll();
        return false;
    }
    count_ = *count;
    return true;
}

void UnitSettingsDialog::OnOk()
{
    if (!library_)
        return;
    if (addMode)
        createUnit();
    else
        editUnit();
}

void UnitSettingsDialog::createUnit()
{
    const QString name = nameEdit_->text();
    if (!takeCount())
        return;
    UnitHeader header;
    header.reviewFrequency = reviewFrequencyAt(frequencyList_->currentIndex(), 2);
    header.newPerDay = count_;
    header.newPerDayUnit = newPerDayUnitAt(countUnitList_->currentIndex(), 1);
    const UnitResult result = library_->createUnit(name, header);
    if (!result.ok) {
        showMessage(result.message);
        return;
    }
    if (ProgressPanel* progress = panel_.progressPanel())
        progress->RefreshPanel();
    showTipAtCursor(QStringLiteral("可以拖动文件添加内容"));
    hide();
}

void UnitSettingsDialog::editUnit()
{
    const QString name = nameEdit_->text();
    if (!takeCount())
        return;
    // Read before a rename, which opens the Unit again and refills the dialog.
    UnitHeader header = library_->header();
    header.reviewFrequency =
        reviewFrequencyAt(frequencyList_->currentIndex(), header.reviewFrequency);
    header.newPerDay = count_;
    header.newPerDayUnit = newPerDayUnitAt(countUnitList_->currentIndex(), header.newPerDayUnit);
    if (name != library_->unitName()) {
        const UnitResult result = library_->renameOpenUnit(name);
        if (!result.ok) {
            showMessage(result.message);
            return;
        }
        if (!result.message.isEmpty())
            showMessage(result.message);
    }
    library_->applySettings(header);
    hide();
}

void UnitSettingsDialog::OnDelete()
{
    if (!library_ || library_->isNotebook() || library_->openPosition() <= 0)
        return;
    auto* question = new QMessageBox(QMessageBox::Question, QStringLiteral("删除操作"),
                                     QStringLiteral("确认删除 ") + library_->unitName(),
                                     QMessageBox::Yes | QMessageBox::No, this);
    question->setObjectName(QStringLiteral("deleteQuestion"));
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setDefaultButton(QMessageBox::No);
    // The Unit asked about: when another one was opened meanwhile, a Yes does
    // not delete that one.
    const QString asked = library_->unitName();
    connect(question, &QMessageBox::finished, this, [this, asked](int answer) {
        if (answer == QMessageBox::Yes && library_ && library_->unitName() == asked)
            deleteConfirmed();
    });
    question->open();
}

void UnitSettingsDialog::deleteConfirmed()
{
    const UnitResult result = library_->deleteOpenUnit();
    if (!result.ok) {
        showMessage(result.message);
        return;
    }
    hide();
    // The Unit's timed backup stays in the Backup folder.
    showTipAtCursor(QStringLiteral("Backup 目录有备份"));
    library_->UpdateTotal();
    if (ProgressPanel* progress = panel_.progressPanel())
        progress->RefreshPanel();
}

void UnitSettingsDialog::OnCancel()
{
    hide();
}

void UnitSettingsDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void UnitSettingsDialog::showMessage(const QString& text)
{
    // Not blocking: the dialog stays open behind the message, as does the
    // rest of the program's timers.
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), windowMessage(text),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("unitSettingsMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void UnitSettingsDialog::showTipAtCursor(const QString& text)
{
    // Where the button was pressed: the shared cursor position is up to one
    // frame tick old.
    const QPoint at = QCursor::pos();
    if (TipWindow* tip = panel_.tipWindow())
        tip->ShowTip(at.x(), at.y(), text);
}

} // namespace dictora
