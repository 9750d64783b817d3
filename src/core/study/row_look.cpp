// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_look.h"

#include "core/study/study_state.h"

namespace dictora {

std::pair<int, int> rowPartSpan(int part, bool editMode, int rowWidth, int viewWidth)
{
    switch (part) {
    case WholeWidth:
        return {-1, rowWidth + 1};
    case TimeColumns:
        return {kMarkerRight, kEndColumnRight};
    case StartColumn:
        return {kMarkerRight, kStartColumnRight};
    case EndColumn:
        return {kStartColumnRight, kEndColumnRight + 10};
    case TextColumn:
        return {(editMode ? kEndColumnRight : kMarkerRight), rowWidth + 1};
    default:
        return {-1, viewWidth + 1};
    }
}

MarkerPaint markerPaint(RowMarker marker)
{
    switch (marker) {
    case RowMarker::TodayWeak:
        return {MarkerPaint::Gradient, 0xC0FF0000};
    case RowMarker::TodayStrong:
        return {MarkerPaint::Solid, 0xFF08F008};
    case RowMarker::LearnedBefore:
        return {MarkerPaint::Gradient, 0xA03CFF3C};
    case RowMarker::New:
        break;
    }
    return {};
}

RowLook rowLook(const SentenceRow& fields, int row, const StudyState& state, int selectedPoint,
                const QString& today)
{
    RowLook look;
    look.title = fields[Kind] == u"0";
    look.current = state.currentRow >= 0 && row == state.currentRow;
    if (look.current) {
        look.bandTop = 0xFF40C0FF;
        look.bandBottom = 0xFA0072C6;
    }
    if (look.title) {
        if (!look.current) {
            look.bandTop = state.editMode ? 0xFFFAF0FA : 0xFFFAFAFA;
            look.bandBottom = state.editMode ? 0xF0FA80FA : 0xE6C8C8D2;
        }
        look.text = fields[SectionTitle];
        look.textLeft = 5;
        look.emSize = look.current ? 24 : 23;
        return look;
    }
    look.marker = rowMarker(fields, today);
    look.timeColumns = state.editMode;
    if (look.current && state.editMode && (selectedPoint == 1 || selectedPoint == 2))
        look.pointBar = selectedPoint;
    if (!(look.current && state.dictationMode))
        look.text = fields[Text];
    look.textLeft = state.editMode ? kEndColumnRight : kMarkerRight;
    look.emSize = look.current ? 23 : 22;
    return look;
}

} // namespace dictora
