// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/progress_pass.h"

#include "core/study/number_text.h"
#include "core/study/study_state.h"

#include <array>

namespace dictora {

namespace {

const QString kZero = QStringLiteral("0");
const QString kOne = QStringLiteral("1");

void setIfDifferent(SentenceTable& table, int row, int field, const QString& value)
{
    if (table.field(row, field) != value)
        table.setField(row, field, value);
}

// For each row, the position of the next title row after it, or the row
// count when there is none; one backward walk instead of a search per title.
std::vector<int> nextTitleRows(const SentenceTable& table)
{
    const int count = table.rowCount();
    std::vector<int> next(size_t(count), count);
    int following = count;
    for (int r = count - 1; r >= 0; --r) {
        next[size_t(r)] = following;
        if (table.isTitleRow(r))
            following = r;
    }
    return next;
}

void fillTexts(ProgressFigures& f, const StudyTotals& totals)
{
    if (f.rowCount == f.doneRows) {
        f.percent = 100;
        f.texts = {QStringLiteral("100%"), QStringLiteral("已经全部完成"),
                   QStringLiteral("估时 - 00:00")};
        return;
    }
    if (f.todayTotal == 0) {
        // Nothing is scheduled today: today's work is done, and saying so is
        // better than keeping whatever another Unit showed last.
        f.percent = 100;
        f.texts = {QStringLiteral("100%"), QStringLiteral("已经完成: 0 行 / 共: 0 行"),
                   QStringLiteral("估时 - 00:00")};
        return;
    }
    int pct = int(double(f.todayDone) / double(f.todayTotal) * 100.0);
    const bool complete = pct >= 100;
    if (complete)
        pct = 100;
    f.percent = pct;
    f.texts.progressLine = QStringLiteral("已经完成: %1 行 / 共: %2 行")
                               .arg(QString::number(f.todayDone), QString::number(f.todayTotal));
    if (complete) {
        f.texts.unitPercentText = QStringLiteral("100%");
        f.texts.estimateText = QStringLiteral("估时 - 00:00");
        return;
    }
    f.texts.unitPercentText = QString::number(pct) + u'%';
    if (f.todayDoneChars < f.todayTotalChars && totals.studyChars != 0) {
        // 64-bit: the product overflows 32 bits after a few hours of typing.
        const int64_t seconds =
            (f.todayTotalChars - f.todayDoneChars) * totals.studySeconds / totals.studyChars;
        f.texts.estimateText = QStringLiteral("估时 - ") + clockSpanText(seconds);
    } else {
        f.texts.estimateText = QStringLiteral("估时 - 未知");
    }
}

} // namespace

QString clockSpanText(int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    const int64_t withinDay = seconds % 86400;
    return QString::asprintf("%02d:%02d:%02d", int(withinDay / 3600), int(withinDay / 60 % 60),
                             int(withinDay % 60));
}

ProgressCounter::ProgressCounter(const UnitHeader& header, int rowCount)
    : newPerDay_(header.newPerDay), countSections_(header.newPerDayUnit > 0)
{
    f_.rowCount = rowCount;
}

void ProgressCounter::titleRow(int row, int nextTitleRow)
{
    f_.doneRows += 1;
    if (countSections_ && quotaOpen_) {
        sectionsDone_ += sectionShare_;
        f_.todayNew = 0;
        curTitle_ = row;
        next_ = nextTitleRow;
    }
    if (quotaOpen_)
        f_.quotaEndRow = row;
}

void ProgressCounter::sentenceRow(int row, int done, int level, int64_t textLength,
                                  bool studiedToday)
{
    f_.sentenceRows += 1;
    if (done == 1)
        f_.doneRows += 1;
    if (!quotaOpen_)
        return;
    f_.quotaEndRow = row;
    if (done == 1) {
        if (level == 1 && studiedToday)
            f_.todayNew += 1;
        if (studiedToday) {
            f_.todayDone += 1;
            f_.todayTotal += 1;
            f_.todayDoneChars += textLength;
            f_.todayTotalChars += textLength;
        }
    } else if (done == 0) {
        if (level == 0)
            f_.todayNew += 1;
        f_.todayTotal += 1;
        f_.todayTotalChars += textLength;
    }
    if (!countSections_) {
        if (float(f_.todayNew) >= newPerDay_)
            quotaOpen_ = false;
    } else {
        sectionShare_ =
            next_ > curTitle_ + 1 ? float(f_.todayNew) / float(next_ - curTitle_ - 1) : 0.0f;
        if (sectionShare_ + sectionsDone_ >= newPerDay_)
            quotaOpen_ = false;
    }
}

ProgressFigures ProgressCounter::finish(const StudyTotals& totals)
{
    fillTexts(f_, totals);
    return f_;
}

ProgressFigures runProgressPass(SentenceTable& table, const UnitHeader& header, bool isNotebook,
                                TimeValue now, const StudyTotals& totals)
{
    const int count = table.rowCount();
    const QString today = FormatDayStamp(now);
    const std::vector<int> nextTitle = nextTitleRows(table);
    ProgressCounter counter(header, count);
    std::array<QString, 4> section; // fields 8 to 11 of the current Section

    for (int r = 0; r < count; ++r) {
        if (table.isTitleRow(r)) {
            for (int i = 0; i < 4; ++i)
                section[size_t(i)] = table.field(r, SectionTitle + i);
            counter.titleRow(r, nextTitle[size_t(r)]);
            continue;
        }
        if (!isNotebook) {
            for (int i = 0; i < 4; ++i)
                setIfDifferent(table, r, SectionTitle + i, section[size_t(i)]);
            if (textToInt(table.field(r, EndMs)) <= 0 && r + 1 < count &&
                table.isSentence(r + 1))
                setIfDifferent(table, r, EndMs, table.field(r + 1, StartMs));
        }
        const QString& doneText = table.field(r, Done);
        const int done = doneText == kOne ? 1 : doneText == kZero ? 0 : textToInt(doneText);
        if (!counter.quotaOpen()) {
            counter.sentenceRow(r, done, 0, 0, false);
            continue;
        }
        const int level = textToInt(table.field(r, Level));
        const bool studiedToday = QStringView(table.field(r, StudiedAt)).left(8) == today;
        counter.sentenceRow(r, done, level, table.field(r, Text).size(), studiedToday);
    }
    return counter.finish(totals);
}

} // namespace dictora
