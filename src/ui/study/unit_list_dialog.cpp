// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/unit_list_dialog.h"

#include "core/media/media_player.h"
#include "core/study/sentence_list_rules.h"
#include "core/study/start_unit.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "core/study/window_messages.h"
#include "ui/dictation/dictation_form.h"
#include "ui/media/media_window.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/status_item.h"
#include "ui/study/unit_settings_dialog.h"
#include "ui/widgets/dictation_notice.h"
#include "ui/widgets/shadow_frame.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include <QCache>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QWindow>

namespace dictora {

namespace {

constexpr int kLeftEdge = 4;         // the cursor is at the screen's left edge below this x
constexpr int kShowAfterTicks = 5;   // over half a second at the edge
constexpr int kHideAfterTicks = 100; // ten seconds shown
// A window manager may take a while to hand the keyboard to the pop-up (the
// answer box holds it in Dictation): while the window that had it when the
// pop-up came up still has it, the pop-up waits this long before it goes.
constexpr int kForegroundGraceTicks = 10;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 45;
constexpr int kButtonAboveBottom = 55;
constexpr int kTextEmSize = 23;
const QColor kListBackground{210, 230, 255};

// Draws a row of the unit list: the name and, in the rightmost 80 pixels,
// the percent, as outlined text on a light band (a gradient when selected).
class UnitRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), UnitListDialog::kRowHeight};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        p->save();
        p->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const QRect rect = option.rect;
        if (option.state.testFlag(QStyle::State_Selected)) {
            QLinearGradient g(rect.topLeft(), rect.bottomLeft());
            g.setColorAt(0, QColor::fromRgba(0xFFDCE6F0));
            g.setColorAt(1, QColor::fromRgba(0xFAA0C0FF));
            p->fillRect(rect, g);
        } else {
            p->fillRect(rect, QColor::fromRgba(0xFFE6F0FF));
        }
        const int nameWidth = rect.width() - UnitListDialog::kPercentColumnWidth;
        drawText(*p, index.data(Qt::DisplayRole).toString(),
                 QRect(rect.left(), rect.top(), nameWidth, rect.height()));
        drawText(*p, index.data(Qt::UserRole).toString(),
                 QRect(rect.left() + nameWidth, rect.top(), UnitListDialog::kPercentColumnWidth,
                       rect.height()));
        p->restore();
    }

private:
    void drawText(QPainter& p, const QString& text, const QRect& box) const
    {
        if (text.isEmpty())
            return;
        QFont font = uiFont();
        font.setPixelSize(kTextEmSize);
        const QFontMetricsF metrics(font);
        QPainterPath path;
        path.addText(QPointF(0, (box.height() - metrics.height()) / 2 + metrics.ascent()), font,
                     text);
        p.save();
        p.setClipRect(box);
        p.translate(box.topLeft());
        p.setPen(QPen(QColor::fromRgba(0x40804040), 1));
        p.setBrush(QColor::fromRgba(0xFAC04040));
        p.drawPath(path);
        p.restore();
    }
};

} // namespace

UnitListDialog::UnitListDialog(StudyPanel& panel, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), panel_(panel), state_(panel.state()),
      library_(panel.services().library)
{
    setObjectName(QStringLiteral("unitList"));
    setWindowTitle(QStringLiteral("生句本"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("unitListView"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setItemDelegate(new UnitRowDelegate(list_));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette look = list_->palette();
    look.setColor(QPalette::Base, kListBackground);
    look.setColor(QPalette::Window, kListBackground);
    list_->setPalette(look);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, &UnitListDialog::positionSelected);

    addButton_ = new QPushButton(QStringLiteral("添 加"), list_);
    addButton_->setObjectName(QStringLiteral("addUnitButton"));
    QFont buttonFont = uiFont();
    buttonFont.setPixelSize(20);
    buttonFont.setWeight(QFont::Thin);
    addButton_->setFont(buttonFont);
    addButton_->resize(kButtonWidth, kButtonHeight);
    connect(addButton_, &QPushButton::clicked, this, [this] {
        if (UnitSettingsDialog* settings = panel_.unitSettings())
            settings->showAddUnit();
    });

    if (library_) {
        connect(library_, &UnitLibrary::unitClosing, this, &UnitListDialog::CloseUnit);
        connect(library_, &UnitLibrary::listChanged, this, &UnitListDialog::refreshList);
        connect(library_, &UnitLibrary::progressChanged, this, &UnitListDialog::refreshPercents);
        connect(library_, &UnitLibrary::saveFailed, this, &UnitListDialog::showSaveFailure);
        connect(library_, &UnitLibrary::unitOpened, this, &UnitListDialog::unitOpened);
        // A Unit file the scan could not read is left out of the list; the
        // learner is told, or a new Unit of that name would seem refused
        // for nothing.
        connect(library_, &UnitLibrary::unitFileUnreadable, this, &UnitListDialog::showMessage);
        connect(library_, &UnitLibrary::damagedUnitKept, this,
                [this](const DamagedUnit& damaged) { showMessage(damagedUnitNotice(damaged)); });
    }
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &UnitListDialog::tick);
}

UnitListDialog::~UnitListDialog() = default;

void UnitListDialog::initialise()
{
    if (!library_)
        return;
    library_->ScanDataFolder();
    refreshList();
    OpenUnit(library_->startPosition());
    library_->UpdateTotal();
    timer_.start(100);
}

// --- the list ---------------------------------------------------------------

void UnitListDialog::refreshList()
{
    if (!library_)
        return;
    filling_ = true;
    const QStringList& names = library_->unitNames();
    while (list_->count() > names.size())
        delete list_->takeItem(list_->count() - 1);
    for (int i = 0; i < names.size(); ++i) {
        QListWidgetItem* item = list_->item(i);
        if (!item)
            item = new QListWidgetItem(list_);
        item->setText(names.at(i));
        item->setData(Qt::UserRole, library_->percentTextAt(i));
    }
    list_->setCurrentRow(library_->openPosition());
    filling_ = false;
}

void UnitListDialog::refreshPercents()
{
    if (!library_)
        return;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setData(Qt::UserRole, library_->percentTextAt(i));
}

void UnitListDialog::OpenUnit(int position)
{
    if (list_->currentRow() == position && library_ && library_->openPosition() == position)
        return;
    list_->setCurrentRow(position);
}

void UnitListDialog::positionSelected(int position)
{
    if (filling_ || !library_ || position < 0)
        return;
    // A failed save is reported through the library's saveFailed. A Unit
    // whose changes could not be saved stays open: the list shows it again.
    if (!library_->OpenUnit(position) && library_->openPosition() != position) {
        filling_ = true;
        list_->setCurrentRow(library_->openPosition());
        filling_ = false;
    }
}

void UnitListDialog::unitOpened()
{
    // The next start comes back to this Unit when the Notebook has nothing
    // to study. A folder that takes no settings is said once a run.
    if (!library_->isNotebook() && !saveLastUnit(library_->programFolder(), library_->unitName()) &&
        !lastUnitUnsaved_) {
        lastUnitUnsaved_ = true;
        showMessage(QStringLiteral("无法写入 %1Start.ini: 下次启动时不能回到单元 %2")
                        .arg(library_->programFolder().cfgFolder(), library_->unitName()));
    }
    refreshPercents();
    filling_ = true;
    list_->setCurrentRow(library_->openPosition());
    filling_ = false;
}

void UnitListDialog::CloseUnit()
{
    if (MediaWindow* media = panel_.mediaWindow())
        media->hide();
    if (TipWindow* tip = panel_.tipWindow())
        tip->HideTip();
    if (DictationForm* form = panel_.dictationForm())
        form->answerBox()->setReadOnly(true);
    if (SentenceList* sentences = panel_.sentenceList())
        sentences->closeUnitWindows();
}

// --- messages ---------------------------------------------------------------

void UnitListDialog::showSaveFailure(const QString& message)
{
    showMessage(message);
}

void UnitListDialog::showMessage(const QString& coreMessage)
{
    const QString message = windowMessage(coreMessage);
    // The timer keeps running while the message shows, so the box does not
    // block it; a second message joins the text of the box already up.
    if (messageBox_ && messageBox_->isVisible()) {
        if (!messageBox_->text().contains(message))
            messageBox_->setText(messageBox_->text() + u'\n' + message);
        return;
    }
    if (!messageBox_) {
        messageBox_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Dictora"), message,
                                      QMessageBox::Ok, panel_.window());
        messageBox_->setAttribute(Qt::WA_DeleteOnClose);
    }
    messageBox_->setObjectName(QStringLiteral("unitLibraryMessage"));
    messageBox_->setText(message);
    if (!showAsDictationNotice(*messageBox_, state_))
        messageBox_->show();
}

// --- showing and hiding -------------------------------------------------------

bool UnitListDialog::splashFinished() const
{
    const ScreensaverWindow* screensaver = panel_.screensaver();
    return !screensaver || screensaver->splashStage > 1;
}

bool UnitListDialog::keepsForeground() const
{
    if (state_.foregroundWindow == this || state_.foregroundWindow == panel_.shadowFrame())
        return true;
    // The frame's probe names top-level windows only, so the item itself
    // says whether the cursor rests on it.
    const StatusItem* first = firstStatusItem();
    return first && first->underCursor();
}

const StatusItem* UnitListDialog::firstStatusItem() const
{
    const ProgressPanel* progress = panel_.progressPanel();
    return progress ? progress->item(StatusItemType::TotalCompletion) : nullptr;
}

void UnitListDialog::tick()
{
    if (shown_) {
        if (splashFinished()) {
            const bool foreground = keepsForeground();
            heldForeground_ = heldForeground_ || foreground;
            // Without a known foreground window (no window manager says
            // which) there is nothing to wait for.
            const bool stillComing = foregroundAtShow_ && !heldForeground_ &&
                                     ticks_ <= kForegroundGraceTicks &&
                                     state_.foregroundWindow == foregroundAtShow_;
            const bool lostForeground = !foreground && !stillComing;
            if (ticks_ > kHideAfterTicks || lostForeground)
                ShowPopup(false);
            else
                ++ticks_;
        }
    } else if (state_.cursorPos.x() < kLeftEdge) {
        if (++ticks_ > kShowAfterTicks)
            ShowPopup(true);
    } else {
        // Only a cursor that rests at the edge brings the pop-up.
        ticks_ = 0;
    }
    if (library_)
        library_->autosaveStep();
}

// Whether a window is the frame or one of the windows it owns: an owned
// dialog is a top-level window of its own, so its parents are walked up.
static bool ownedByFrame(const QObject* window, const QWidget* frame)
{
    for (const auto* w = qobject_cast<const QWidget*>(window); w; w = w->parentWidget()) {
        if (w == frame)
            return true;
    }
    return false;
}

// Keeps a window of the pop-up in front of every window of the study screen,
// whichever layer the frame is in (in Dictation it stays above other
// programs): on top while shown, and owned by the frame's window, which is
// always mapped. The tip window that owns the pop-up in the window tree is
// hidden most of the time, and a window manager stacks a window whose owner
// is unmapped as an ordinary one, under a frame kept above.
static void keepInFront(QWidget* window, QWidget* frame)
{
    window->winId();
    QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    if (frame && frame->windowHandle() && handle->transientParent() != frame->windowHandle())
        handle->setTransientParent(frame->windowHandle());
    if (!handle->flags().testFlag(Qt::WindowStaysOnTopHint))
        handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
}

void UnitListDialog::ShowPopup(bool show)
{
    if (show == shown_)
        return;
    shown_ = show;
    ticks_ = 0;
    heldForeground_ = false;
    foregroundAtShow_ = state_.foregroundWindow;
    ShadowFrame* shadow = panel_.shadowFrame();
    if (!show) {
        const QObject* foreground = state_.foregroundWindow;
        hide();
        if (shadow)
            shadow->hide();
        QWidget* frame = panel_.window();
        const bool ours = foreground == this || foreground == shadow;
        if (ours || !ownedByFrame(foreground, frame))
            frame->activateWindow();
        return;
    }
    const QStringList names = library_ ? library_->unitNames() : QStringList();
    const int width = unitPopupWidth(names);
    const int height = unitPopupHeight(int(names.size()));
    const QRect panelRect(panel_.mapToGlobal(QPoint(0, 0)), panel_.size());
    const int left = panelRect.left();
    const int bottom = panelRect.top() + panelRect.height();
    QWidget* frame = panel_.window();
    if (shadow) {
        shadow->setGeometry(left - 2, bottom - height - 94, width + 10, height + 10);
        keepInFront(shadow, frame);
        shadow->show();
    }
    setGeometry(left + 2, bottom - height - 90, width, height);
    keepInFront(this, frame);
    QWidget::show();
    raise();
    activateWindow();
    list_->setFocus();
}

void UnitListDialog::resizeEvent(QResizeEvent*)
{
    list_->setGeometry(rect());
    addButton_->move((width() - kButtonWidth) / 2, height() - kButtonAboveBottom);
}

void UnitListDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kListBackground);
}

// --- keys -----------------------------------------------------------------------

bool UnitListDialog::isSwallowedKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void UnitListDialog::keyPressEvent(QKeyEvent* event)
{
    if (isSwallowedKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool UnitListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (isSwallowedKey(event)) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dictora
