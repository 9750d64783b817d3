// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/completion_table.h"

#include "core/study/study_state.h"

namespace dictora {

CompletionTable::CompletionTable()
{
    entries_.fill({kNone, 0});
}

void CompletionTable::SetCompletion(int position, int percent)
{
    Entry* free = nullptr;
    for (Entry& entry : entries_) {
        if (entry.position == position) {
            entry.percent = percent;
            return;
        }
        if (!free && entry.position < 0)
            free = &entry;
    }
    if (free)
        *free = {position, percent};
}

void CompletionTable::forget(int position)
{
    if (position < 0)
        return;
    // A negative position other than kNone: skipped by the mean, reused by
    // SetCompletion, and no end mark for the entries after it.
    for (Entry& entry : entries_)
        if (entry.position == position)
            entry = {-1, 0};
}

int CompletionTable::percentOf(int position) const
{
    for (const Entry& entry : entries_)
        if (entry.position == position && position >= 0)
            return entry.percent;
    return -1;
}

void CompletionTable::removePosition(int position)
{
    if (position < 0)
        return;
    for (int i = 0; i < kEntries; ++i) {
        if (entries_[size_t(i)].position != position)
            continue;
        // Later entries move up one place; the free entry at the end keeps
        // the table ending in -1000 for the mean below.
        for (int j = i; j + 1 < kEntries; ++j)
            entries_[size_t(j)] = entries_[size_t(j + 1)];
        entries_[kEntries - 1] = {kNone, 0};
        break;
    }
    for (Entry& entry : entries_)
        if (entry.position > position)
            entry.position -= 1;
}

QString CompletionTable::totalPercentText() const
{
    double sum = 0;
    int used = 0;
    for (const Entry& entry : entries_) {
        if (entry.position == kNone)
            break;
        if (entry.position < 0)
            continue;
        sum += entry.percent;
        ++used;
    }
    if (used == 0)
        return QStringLiteral("0%");
    return QString::asprintf("%.f%%", sum / used);
}

} // namespace dictora
