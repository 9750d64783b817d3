// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

namespace dictora {

// Up to 100 pairs of (unit-list position, percent of today's work done), one
// per Unit with sentences saved during this run; the overall percent is their
// mean. A Unit without sentences (a new one, the empty Notebook) has nothing
// to complete and is left out, so it cannot lift the mean to 100 %.
class CompletionTable {
public:
    static constexpr int kEntries = 100;

    CompletionTable();

    // The entry of this position, else the first free one; nothing is stored
    // when all entries hold other Units.
    void SetCompletion(int position, int percent);
    // The Unit at this position has nothing to study (no sentences): it has
    // no entry, so it does not count in the overall percent. Its entry, if
    // any, becomes free without moving the others.
    void forget(int position);
    // -1 when the position has no entry.
    int percentOf(int position) const;
    // A Unit left the list: its entry goes, and the Units after it, which now
    // stand one list position higher, keep their entries.
    void removePosition(int position);
    // Mean of the entries in use as "%.f%%"; "0%" when none is.
    QString totalPercentText() const;

private:
    struct Entry {
        int position;
        int percent;
    };
    std::array<Entry, kEntries> entries_;
};

} // namespace dictora
