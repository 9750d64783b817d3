// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_list_rules.h"

#include <QString>
#include <QtGlobal>

#include <utility>

namespace dictora {

struct StudyState;

// The columns of a sentence row in the list's x: the status marker, in Edit
// mode the start and the end time, then the text.
inline constexpr int kMarkerRight = 30;
inline constexpr int kStartColumnRight = 180;
inline constexpr int kEndColumnRight = 330;

// A row waiting for the learner's look (review_marks.h) shows an amber band
// at the left of its marker strip, in every mode.
inline constexpr int kReviewBandWidth = 10;
inline constexpr quint32 kReviewBandArgb = 0xFFFFB000;

// Parts of a row to repaint; row edits name 1 to 3.
enum RowPart { WholeWidth = 0, TimeColumns = 1, StartColumn = 2, EndColumn = 3, TextColumn = 4 };
// The x range [first, second) a repaint of part covers, a pixel wider on
// each side than the part: the bar under a chosen time point sits on the
// columns' edges. rowWidth is the row's width, viewWidth the list's.
std::pair<int, int> rowPartSpan(int part, bool editMode, int rowWidth, int viewWidth);

// How a marker of RowMarker is painted over the light strip: a gradient
// from argb into the list's colour, or solid argb; none for a new row.
struct MarkerPaint {
    enum Style { None, Gradient, Solid };
    Style style = None;
    quint32 argb = 0;
};
MarkerPaint markerPaint(RowMarker marker);

// What a row of the sentence list shows, by the study's state.
struct RowLook {
    bool title = false;
    bool current = false;
    // The band behind the row, top to bottom (ARGB); 0: none. The current
    // row is blue; a title row is tinted in Edit mode.
    quint32 bandTop = 0;
    quint32 bandBottom = 0;
    RowMarker marker = RowMarker::New;
    bool timeColumns = false; // Edit mode: the start and end times
    int pointBar = 0;         // 1 start, 2 end: the chosen time point of the current row
    // The learner must not see the sentence being dictated: no text then.
    QString text;
    int textLeft = kMarkerRight;
    int emSize = 22;
};
// today is the day stamp "%Y%m%d"; selectedPoint the list's chosen time
// point (1 start, 2 end, anything else none).
RowLook rowLook(const SentenceRow& fields, int row, const StudyState& state, int selectedPoint,
                const QString& today);

} // namespace dictora
