// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop/accessibility.h"

#include "core/study/row_announcement.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/status_item.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>

#include <array>

namespace dictora {

namespace {

// The toolbar's buttons are named from the study state; there is one study
// screen per program, kept here once it is described.
QPointer<StudyPanel>& describedPanel()
{
    static QPointer<StudyPanel> panel;
    return panel;
}

// --- the dictation toolbar ------------------------------------------------

QString toolbarButtonName(const DictationToolbar& toolbar, DictationToolbar::Button button,
                          const StudyState& state, const DictationForm& form)
{
    switch (button) {
    case DictationToolbar::SoundButton:
        return state.soundOn ? QStringLiteral("声音: 开") : QStringLiteral("声音: 关");
    case DictationToolbar::RecordButton:
        switch (toolbar.recordButtonState()) {
        case 1:
            return QStringLiteral("录音: 正在录音");
        case 2:
            return QStringLiteral("录音: 正在播放");
        case 3:
            return QStringLiteral("录音: 已暂停");
        default:
            return QStringLiteral("录音");
        }
    case DictationToolbar::LayoutButton:
        return form.placeFixed ? QStringLiteral("布局: 固定") : QStringLiteral("布局: 浮动");
    case DictationToolbar::NotebookButton:
        return QStringLiteral("加入生句本");
    default:
        return {};
    }
}

// One picture button of the toolbar: a part of the toolbar's picture, with
// no widget of its own.
class ToolbarButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ToolbarButtonAccessible(DictationToolbar* toolbar, DictationToolbar::Button button)
        : toolbar_(toolbar), button_(button)
    {
    }

    bool isValid() const override { return toolbar_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return toolbar_ ? toolbar_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(toolbar_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QString text(QAccessible::Text t) const override
    {
        StudyPanel* panel = describedPanel();
        if (!isValid() || t != QAccessible::Name || !panel || !panel->dictationForm())
            return {};
        return toolbarButtonName(*toolbar_, button_, panel->state(), *panel->dictationForm());
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!toolbar_)
            return {};
        const QPoint origin = toolbar_->mapToGlobal(
            QPoint(int(button_) * DictationToolbar::kButtonPitch, 0));
        return QRect(origin, QSize(DictationToolbar::kButtonPitch, DictationToolbar::kHeight));
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !toolbar_ || !toolbar_->isVisible();
        if (button_ == DictationToolbar::SoundButton && describedPanel()) {
            s.checkable = true;
            s.checked = describedPanel()->state().soundOn;
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && toolbar_)
            toolbar_->pressButton(button_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<DictationToolbar> toolbar_;
    DictationToolbar::Button button_;
};

class ToolbarAccessible : public QAccessibleWidget {
public:
    explicit ToolbarAccessible(DictationToolbar* toolbar)
        : QAccessibleWidget(toolbar, QAccessible::ToolBar, QStringLiteral("听写工具栏"))
    {
        for (int i = 0; i < int(buttons_.size()); ++i) {
            auto* button = new ToolbarButtonAccessible(toolbar, DictationToolbar::Button(i));
            QAccessible::registerAccessibleInterface(button);
            buttons_[size_t(i)] = button;
        }
    }
    ~ToolbarAccessible() override
    {
        for (QAccessibleInterface* button : buttons_)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(button));
    }

    int childCount() const override
    {
        return toolbar()->notebookButtonVisible() ? 4 : 3;
    }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount() ? buttons_[size_t(index)] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (buttons_[size_t(i)] == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (buttons_[size_t(i)]->rect().contains(x, y))
                return buttons_[size_t(i)];
        }
        return nullptr;
    }

private:
    DictationToolbar* toolbar() const { return static_cast<DictationToolbar*>(widget()); }

    std::array<QAccessibleInterface*, 4> buttons_{};
};

// --- the progress panel's items --------------------------------------------

class StatusItemAccessible : public QAccessibleWidget {
public:
    explicit StatusItemAccessible(StatusItem* item) : QAccessibleWidget(item, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return (item()->label() + u' ' + item()->value()).trimmed();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name != pressAction())
            return QAccessibleWidget::doAction(name);
        for (QWidget* w = item()->parentWidget(); w; w = w->parentWidget()) {
            if (auto* panel = qobject_cast<ProgressPanel*>(w)) {
                panel->itemClicked(item()->type());
                return;
            }
        }
    }

private:
    StatusItem* item() const { return static_cast<StatusItem*>(widget()); }
};

QAccessibleInterface* ownerDrawnFactory(const QString&, QObject* object)
{
    if (auto* toolbar = qobject_cast<DictationToolbar*>(object))
        return new ToolbarAccessible(toolbar);
    if (auto* item = qobject_cast<StatusItem*>(object))
        return new StatusItemAccessible(item);
    return nullptr;
}

// --- the answer box --------------------------------------------------------

// Typing is locked while the box is read-only (until enough of the sentence
// was heard): the box's description says which, and changes with it.
class AnswerBoxState : public QObject {
public:
    explicit AnswerBoxState(QPlainTextEdit* box) : QObject(box), box_(box)
    {
        setObjectName(QStringLiteral("answerBoxState"));
        box->setAccessibleName(QStringLiteral("答案"));
        box->installEventFilter(this);
        describe();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == box_ && event->type() == QEvent::ReadOnlyChange)
            describe();
        return false;
    }

private:
    void describe()
    {
        box_->setAccessibleDescription(box_->isReadOnly() ? QStringLiteral("已锁定")
                                                          : QStringLiteral("可以输入"));
    }

    QPlainTextEdit* box_;
};

// The unit list's rows are drawn with their percent; the row's accessible
// text holds both.
void describeUnitRows(QListWidget* list)
{
    auto describe = [list] {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const QString text =
                (item->text() + u' ' + item->data(Qt::UserRole).toString()).trimmed();
            if (item->data(Qt::AccessibleTextRole).toString() != text)
                item->setData(Qt::AccessibleTextRole, text);
        }
    };
    QObject::connect(list->model(), &QAbstractItemModel::dataChanged, list, describe);
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, describe);
    describe();
}

} // namespace

void installAssistiveTechnologySupport()
{
    static const bool installed = [] {
        QAccessible::installFactory(ownerDrawnFactory);
        return true;
    }();
    (void)installed;
}

void describeForAssistiveTechnology(StudyPanel& panel)
{
    installAssistiveTechnologySupport();
    describedPanel() = &panel;

    panel.setAccessibleName(QStringLiteral("学习界面"));
    if (SentenceList* list = panel.sentenceList()) {
        list->setAccessibleName(QStringLiteral("句子列表"));
        const StudyState& state = panel.state();
        SentenceTable& table = panel.services().sentences;
        const UnitLibrary* library = panel.services().library;
        table.accessibleRowText = [&state, &table, library](int row) {
            RowAnnouncementContext context;
            if (const auto reason = library ? library->reviewMarks().reasonAt(row) : std::nullopt)
                context.review = reviewReasonText(*reason);
            context.current = row == state.currentRow;
            context.dictationMode = state.dictationMode;
            context.editMode = state.editMode;
            context.today = state.now.toString(QStringLiteral("yyyyMMdd"));
            return rowAnnouncement(table.row(row), context);
        };
    }
    if (UnitListDialog* units = panel.unitList()) {
        units->setAccessibleName(QStringLiteral("单元列表"));
        units->list()->setAccessibleName(QStringLiteral("单元"));
        describeUnitRows(units->list());
    }
    if (ProgressPanel* progress = panel.progressPanel())
        progress->setAccessibleName(QStringLiteral("进度"));
    if (DictationForm* form = panel.dictationForm()) {
        form->setAccessibleName(QStringLiteral("听写"));
        if (QPlainTextEdit* box = form->answerBox(); box && !box->findChild<QObject*>(QStringLiteral("answerBoxState")))
            new AnswerBoxState(box);
    }
}

} // namespace dictora
