// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/unit_file.h"

#include <QString>

namespace dictora {

struct StudyState;

// The four status items of the progress panel, left to right.
enum class StatusItemType { TotalCompletion = 0, UnitSettings = 1, TodayProgress = 2, Mode = 3 };

// What the status items show about the open Unit.
struct StatusFigures {
    QString totalPercentText;
    QString unitName;
    UnitHeader header;
    bool isNotebook = false;
    QString unitPercentText;
    QString estimateText;
};

// The two lines of a status item; the mode item has a label only.
struct StatusTexts {
    QString label;
    QString value;

    bool operator==(const StatusTexts&) const = default;
};

// Names longer than 20 characters are cut to 20 characters + " ...".
inline constexpr int kShownNameLength = 20;
QString shownUnitName(const QString& unitName);

// "泛读", "正常", "重点" for review frequency 1, 2, 3; empty otherwise.
QString frequencyWord(int32_t reviewFrequency);
// "行" for the Notebook or when sentences are counted, else "篇".
QString countWord(bool isNotebook, int32_t newPerDayUnit);
// e.g. "正常 / 每天新学1.00篇".
QString unitSettingsText(const UnitHeader& header, bool isNotebook);

inline const QString kDictationModeName = QStringLiteral("听写模式");
// "听写模式", "编辑模式", "逐行播放" or "浏览模式", in that precedence.
QString modeName(const StudyState& state);

StatusTexts statusItemTexts(StatusItemType type, const StatusFigures& figures,
                            const StudyState& state);

} // namespace dictora
