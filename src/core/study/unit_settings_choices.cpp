// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_settings_choices.h"

#include <cmath>
#include <limits>

namespace dictora {

QStringList frequencyChoices()
{
    return {QStringLiteral("频繁 -- 强化记忆"), QStringLiteral("正常 -- 重点教材"),
            QStringLiteral("较少 -- 辅助材料")};
}

QStringList countUnitChoices()
{
    return {QStringLiteral("句 (行)"), QStringLiteral("课 (篇)")};
}

int frequencyPosition(int32_t reviewFrequency, int choicesShown)
{
    const int position = 3 - reviewFrequency;
    return position >= 0 && position < choicesShown ? position : -1;
}

int32_t reviewFrequencyAt(int position, int32_t current)
{
    return position >= 0 && position < 3 ? 3 - position : current;
}

int countUnitPosition(int32_t newPerDayUnit, int choicesShown)
{
    return newPerDayUnit >= 0 && newPerDayUnit < choicesShown ? newPerDayUnit : -1;
}

int32_t newPerDayUnitAt(int position, int32_t current)
{
    return position == 0 || position == 1 ? position : current;
}

QString newPerDayText(float newPerDay)
{
    return QString::asprintf("%.2f", double(newPerDay));
}

std::optional<float> parseNewPerDay(const QString& text)
{
    const QString trimmed = text.trimmed();
    // Only plain decimal numbers: toDouble would also take "inf", "nan" and
    // exponents, which no learner types as a daily allowance.
    for (const QChar c : trimmed) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return std::nullopt;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 ||
        value > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

QString newPerDayMessage()
{
    return QStringLiteral("每天新学: 请输入一个数字.");
}

} // namespace dictora
