// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/status_item_texts.h"

#include "core/study/study_state.h"
#include "core/study/unit_settings_choices.h"

namespace dictora {

QString shownUnitName(const QString& unitName)
{
    if (unitName.size() <= kShownNameLength)
        return unitName;
    return unitName.left(kShownNameLength) + QStringLiteral(" ...");
}

QString frequencyWord(int32_t reviewFrequency)
{
    switch (reviewFrequency) {
    case 1:
        return QStringLiteral("泛读");
    case 2:
        return QStringLiteral("正常");
    case 3:
        return QStringLiteral("重点");
    default:
        return {};
    }
}

QString countWord(bool isNotebook, int32_t newPerDayUnit)
{
    return isNotebook || newPerDayUnit == 0 ? QStringLiteral("行") : QStringLiteral("篇");
}

QString unitSettingsText(const UnitHeader& header, bool isNotebook)
{
    return frequencyWord(header.reviewFrequency) + QStringLiteral(" / ") +
           QStringLiteral("每天新学") + newPerDayText(header.newPerDay) +
           countWord(isNotebook, header.newPerDayUnit);
}

QString modeName(const StudyState& state)
{
    if (state.dictationMode)
        return kDictationModeName;
    if (state.editMode)
        return QStringLiteral("编辑模式");
    if (state.lineByLineMode)
        return QStringLiteral("逐行播放");
    return QStringLiteral("浏览模式");
}

StatusTexts statusItemTexts(StatusItemType type, const StatusFigures& figures,
                            const StudyState& state)
{
    switch (type) {
    case StatusItemType::TotalCompletion:
        return {QStringLiteral("总完成率:"), figures.totalPercentText};
    case StatusItemType::UnitSettings:
        return {shownUnitName(figures.unitName),
                unitSettingsText(figures.header, figures.isNotebook)};
    case StatusItemType::TodayProgress:
        return {QStringLiteral("单元完成: ") + figures.unitPercentText, figures.estimateText};
    case StatusItemType::Mode:
        return {modeName(state), {}};
    }
    return {};
}

} // namespace dictora
