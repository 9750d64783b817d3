// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace dictora {

class SentenceTable;

// A part of a row to repaint after an edit (the sentence list's parts:
// 1 both time columns, 2 start column, 3 end column).
struct RowRepaint {
    int row;
    int part;
    bool operator==(const RowRepaint&) const = default;
};

// What a time shift did. Nothing changed when changed is false.
struct TimeShift {
    bool changed = false;
    std::vector<RowRepaint> repaints;
};

// Inserts an empty sentence row at index (kept within the table). In an
// ordinary Unit the new row continues the row before it: it starts where
// that one ends and belongs to its Section and media; and it ends where the
// row after it starts. In the Sentence Notebook every row stands alone, so
// the new row gets no times and no Section fields.
void InsertRow(SentenceTable& table, int index, bool notebook);

// Moves time points of row by deltaMs. wholeSpan moves start and end
// together (in an ordinary Unit, with every later row of the Section);
// otherwise the point is 1 (start) or 2 (end), and any other point does
// nothing. A move is clipped to its limits: a start never goes before the
// start of the row before it nor past its own end, an end never goes past
// the end of the next sentence nor before its own start, and in an ordinary
// Unit the neighbour follows (the previous end an earlier start, the next
// start a later end). A move clipped to nothing changes nothing.
TimeShift ShiftTime(SentenceTable& table, int row, int deltaMs, bool wholeSpan, int point,
                    bool notebook);

// Removes the title row at row and the sentence rows after it, up to the
// next title row or the end. Returns the number of rows removed.
int deleteSectionRows(SentenceTable& table, int row);

// Turns a title row into a sentence row and any other row into a title row,
// keeping every other field.
void toggleTitleRow(SentenceTable& table, int row);

// The question before a Section is deleted: "确认删除 " + unit + " 里面 " +
// the Section's title + " 所有内容 ?", the Section named also by its row
// number (counted from 1) and its first sentence, so that two Sections of
// one title are told apart.
QString sectionDeleteQuestion(const SentenceTable& table, int row, const QString& unitName);

} // namespace dictora
