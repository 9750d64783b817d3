// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;

namespace dictora {

class MainPanelDialog;
class UnitLibrary;
struct StudyState;

// What shows a newcomer the way on the study screen, laid over the windows
// without changing them: F1 for the help overlay, tooltips on the dictation
// toolbar and the status items, a one-line hint over a list with little in
// it, and a tip when the day's work is done.
class LearnerGuide : public QObject {
    Q_OBJECT
public:
    LearnerGuide(MainPanelDialog& panel, const StudyState& state, UnitLibrary* library,
                 QWidget* frame);

    // The hint over the list, "" while none shows.
    QString listHint() const;
    // The last "day's work done" tip, "" before any.
    const QString& lastQuotaTip() const { return lastQuotaTip_; }
    // One check of the list hint; the 250 ms timer calls it.
    void refreshListHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installTooltips();
    void figuresChanged();
    void unitOpened();

    MainPanelDialog& panel_;
    const StudyState& state_;
    UnitLibrary* library_;
    QPointer<QLabel> hint_;
    QTimer timer_;
    QString openUnitPath_;
    int doneBefore_ = 0;
    int totalBefore_ = 0;
    QString lastQuotaTip_;
};

} // namespace dictora
