// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/subtitle_track.h"

#include <QHash>
#include <QStringList>

namespace dictora {

SubtitleCodec codecOfCaps(const QString& mediaType, bool fromMp4)
{
    if (mediaType == QLatin1String("text/x-raw") || mediaType == QLatin1String("text/plain") ||
        mediaType == QLatin1String("application/x-subtitle"))
        return fromMp4 ? SubtitleCodec::MovText : SubtitleCodec::SubRip;
    if (mediaType == QLatin1String("application/x-ass") ||
        mediaType == QLatin1String("application/x-ssa"))
        return SubtitleCodec::Ass;
    if (mediaType == QLatin1String("application/x-subtitle-vtt"))
        return SubtitleCodec::WebVtt;
    if (mediaType == QLatin1String("subpicture/x-pgs"))
        return SubtitleCodec::Pgs;
    if (mediaType == QLatin1String("subpicture/x-dvd"))
        return SubtitleCodec::VobSub;
    return SubtitleCodec::Unknown;
}

QString codecName(SubtitleCodec codec)
{
    switch (codec) {
    case SubtitleCodec::SubRip:
        return QStringLiteral("SubRip");
    case SubtitleCodec::Ass:
        return QStringLiteral("ASS/SSA");
    case SubtitleCodec::WebVtt:
        return QStringLiteral("WebVTT");
    case SubtitleCodec::MovText:
        return QStringLiteral("mov_text");
    case SubtitleCodec::Pgs:
        return QStringLiteral("PGS");
    case SubtitleCodec::VobSub:
        return QStringLiteral("VobSub");
    case SubtitleCodec::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

bool isPictureCodec(SubtitleCodec codec)
{
    return codec == SubtitleCodec::Pgs || codec == SubtitleCodec::VobSub;
}

namespace {

struct LanguageEntry {
    const char* iso1;
    const char* iso2b;
    const char* iso2t;
    const char* name;
};

// The languages of film subtitles a learner meets most; others show their tag.
const LanguageEntry kLanguages[] = {
    {"en", "eng", "eng", "英语"},     {"zh", "chi", "zho", "中文"},
    {"ja", "jpn", "jpn", "日语"},     {"ko", "kor", "kor", "韩语"},
    {"fr", "fre", "fra", "法语"},     {"de", "ger", "deu", "德语"},
    {"es", "spa", "spa", "西班牙语"}, {"it", "ita", "ita", "意大利语"},
    {"pt", "por", "por", "葡萄牙语"}, {"ru", "rus", "rus", "俄语"},
    {"ar", "ara", "ara", "阿拉伯语"}, {"nl", "dut", "nld", "荷兰语"},
    {"sv", "swe", "swe", "瑞典语"},   {"pl", "pol", "pol", "波兰语"},
    {"tr", "tur", "tur", "土耳其语"}, {"th", "tha", "tha", "泰语"},
    {"vi", "vie", "vie", "越南语"},   {"id", "ind", "ind", "印度尼西亚语"},
    {"hi", "hin", "hin", "印地语"},   {"el", "gre", "ell", "希腊语"},
    {"he", "heb", "heb", "希伯来语"}, {"uk", "ukr", "ukr", "乌克兰语"},
    {"cs", "cze", "ces", "捷克语"},   {"da", "dan", "dan", "丹麦语"},
    {"fi", "fin", "fin", "芬兰语"},   {"no", "nor", "nor", "挪威语"},
    {"hu", "hun", "hun", "匈牙利语"}, {"ro", "rum", "ron", "罗马尼亚语"},
    {"ms", "may", "msa", "马来语"},   {"yue", "yue", "yue", "粤语"},
};

const LanguageEntry* findLanguage(const QString& primary)
{
    for (const LanguageEntry& entry : kLanguages) {
        if (primary == QLatin1String(entry.iso1) || primary == QLatin1String(entry.iso2b) ||
            primary == QLatin1String(entry.iso2t))
            return &entry;
    }
    return nullptr;
}

// The tag's parts in lower case, split at "-" or "_".
QStringList tagParts(const QString& tag)
{
    return tag.trimmed().toLower().replace(u'_', u'-').split(u'-', Qt::SkipEmptyParts);
}

} // namespace

QString baseLanguage(const QString& tag)
{
    const QStringList parts = tagParts(tag);
    if (parts.isEmpty())
        return {};
    if (parts.first() == QLatin1String("cmn"))
        return QStringLiteral("zh");
    const LanguageEntry* entry = findLanguage(parts.first());
    return entry ? QString::fromLatin1(entry->iso1) : parts.first();
}

QString languageName(const QString& tag, const QString& title)
{
    const QStringList parts = tagParts(tag);
    if (parts.isEmpty() || parts.first() == QLatin1String("und"))
        return QStringLiteral("未标语言");
    const QString base = baseLanguage(tag);
    const LanguageEntry* entry = findLanguage(base);
    if (!entry)
        return tag.trimmed();
    if (base != QLatin1String("zh"))
        return QString::fromUtf8(entry->name);
    // The script, by the tag's script or region, else by the track's title.
    const QString lowerTitle = title.toLower();
    const auto has = [&](std::initializer_list<const char*> words) {
        for (const char* word : words) {
            const QString w = QString::fromUtf8(word);
            if (parts.contains(w) || lowerTitle.contains(w))
                return true;
        }
        return false;
    };
    if (has({"hant", "tw", "hk", "mo", "繁", "traditional", "cht"}))
        return QStringLiteral("繁体中文");
    if (has({"hans", "cn", "sg", "简", "simplified", "chs"}))
        return QStringLiteral("简体中文");
    return QStringLiteral("中文");
}

QString ocrLanguage(const QString& tag, const QString& title)
{
    static const QHash<QString, QString> kOcr{
        {"en", "eng"}, {"ja", "jpn"}, {"ko", "kor"}, {"fr", "fra"}, {"de", "deu"},
        {"es", "spa"}, {"it", "ita"}, {"pt", "por"}, {"ru", "rus"}, {"nl", "nld"}};
    const QString base = baseLanguage(tag);
    if (base == QLatin1String("zh"))
        return languageName(tag, title) == QStringLiteral("繁体中文") ? QStringLiteral("chi_tra")
                                                                      : QStringLiteral("chi_sim");
    // An untagged track is read as English, the likeliest language of a film.
    if (base.isEmpty() || base == QLatin1String("und"))
        return QStringLiteral("eng");
    return kOcr.value(base);
}

QString ocrPackage(const QString& ocrLanguage)
{
    return QStringLiteral("tesseract-ocr-") + QString(ocrLanguage).replace(u'_', u'-');
}

QString trackLabel(const SubtitleTrack& track)
{
    QStringList parts{languageName(track.language, track.title), codecName(track.codec)};
    if (!track.title.trimmed().isEmpty())
        parts << track.title.trimmed();
    if (track.forced)
        parts << QStringLiteral("强制");
    return parts.join(QStringLiteral(" · "));
}

TrackChoice chooseTracks(const std::vector<SubtitleTrack>& tracks, const QString& targetLanguage)
{
    TrackChoice choice;
    if (tracks.empty())
        return choice;
    const QString target =
        baseLanguage(targetLanguage.isEmpty() ? QStringLiteral("en") : targetLanguage);
    // Forced tracks carry only the signs and foreign lines of a film: a full
    // track of the language comes first. Where the container does not say,
    // the title often does ("English (Forced)").
    const auto forced = [](const SubtitleTrack& track) {
        return track.forcedKnown ? track.forced
                                 : track.forced || track.title.contains(QLatin1String("forced"),
                                                                        Qt::CaseInsensitive);
    };
    const auto find = [&](auto&& fits) {
        const SubtitleTrack* found = nullptr;
        for (const SubtitleTrack& track : tracks) {
            if (fits(track) && (!found || (forced(*found) && !forced(track))))
                found = &track;
        }
        return found ? found->index : -1;
    };
    choice.sentence =
        find([&](const SubtitleTrack& t) { return baseLanguage(t.language) == target; });
    if (choice.sentence < 0)
        choice.sentence = find([](const SubtitleTrack& t) { return t.isDefault; });
    if (choice.sentence < 0)
        choice.sentence = tracks.front().index;
    if (target != QLatin1String("zh")) {
        choice.prompt = find([&](const SubtitleTrack& t) {
            return baseLanguage(t.language) == QLatin1String("zh") && t.index != choice.sentence;
        });
    }
    return choice;
}

} // namespace dictora
