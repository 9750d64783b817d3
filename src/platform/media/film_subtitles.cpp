// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/film_subtitles.h"

#include "platform/media/subtitle_ocr.h"
#include "platform/media/subtitle_track_reader.h"

#include "core/import/dvd_subpicture.h"
#include "core/import/pgs_picture.h"

#include <QFileInfo>

namespace dictora {

namespace {

// The cues of a text track: each block's bytes are its UTF-8 text. A block
// without a duration lasts until the next one starts.
std::vector<SubtitleCue> textCues(const std::vector<DemuxedCue>& blocks)
{
    std::vector<SubtitleCue> cues;
    cues.reserve(blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        SubtitleCue cue;
        cue.startMs = blocks[i].startMs;
        cue.endMs = blocks[i].endMs;
        if (cue.endMs == DemuxedCue::kNoEnd)
            cue.endMs = i + 1 < blocks.size() ? blocks[i + 1].startMs : cue.startMs;
        cue.payload = QString::fromUtf8(blocks[i].data);
        cues.push_back(std::move(cue));
    }
    return cues;
}

// The cues of a PGS or VobSub track read by OCR. A display set that shows
// nothing clears the screen: it ends the cue before it. Damaged VobSub
// pictures are skipped and counted in `message`. `progress` hears the part
// done; false from it cancels.
bool pictureCues(const DemuxedTrack& read, const std::function<bool(double)>& progress,
                 std::vector<SubtitleCue>& cues, QString& message, bool& cancelled)
{
    const QString language = ocrLanguage(read.track.language, read.track.title);
    if (language.isEmpty()) {
        message = QStringLiteral("没有识别%1图片字幕的文字识别数据.")
                      .arg(languageName(read.track.language, read.track.title));
        return false;
    }
    SubtitleOcr ocr;
    if (!ocr.open(language, message))
        return false;
    const std::vector<DemuxedCue>& blocks = read.cues;
    const VobSubIndex vobSubIndex = parseVobSubIndex(read.codecData);
    int damaged = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (progress && !progress(double(i) / double(blocks.size()))) {
            cancelled = true;
            return false;
        }
        if (read.track.codec == SubtitleCodec::VobSub) {
            const auto known = [](uint32_t ms) {
                return ms == DemuxedCue::kNoEnd ? std::nullopt : std::optional<uint32_t>(ms);
            };
            const TimedPicture shown = vobSubPicture(
                blocks[i].data, vobSubIndex, blocks[i].startMs, known(blocks[i].endMs),
                known(i + 1 < blocks.size() ? blocks[i + 1].startMs : DemuxedCue::kNoEnd));
            damaged += shown.damaged ? 1 : 0;
            if (!shown.picture.empty())
                cues.push_back({shown.startMs, shown.endMs, ocr.read(shown.picture)});
            continue;
        }
        const InkPicture picture = decodePgsDisplaySet(blocks[i].data);
        if (picture.empty())
            continue;
        SubtitleCue cue;
        cue.startMs = blocks[i].startMs;
        const uint32_t nextStart =
            i + 1 < blocks.size() ? blocks[i + 1].startMs : DemuxedCue::kNoEnd;
        // The next display set, clearing or replacing this one, ends it; the
        // block's own duration only when none follows.
        cue.endMs = nextStart != DemuxedCue::kNoEnd ? nextStart : blocks[i].endMs;
        if (cue.endMs == DemuxedCue::kNoEnd)
            cue.endMs = cue.startMs;
        cue.payload = ocr.read(picture);
        cues.push_back(std::move(cue));
    }
    if (damaged > 0)
        message = QStringLiteral("跳过了 %1 张损坏的字幕图片.").arg(damaged);
    return true;
}

// The cues of one track, read and turned into text; false with the message.
bool trackCues(const QString& path, int index, const std::function<bool(double)>& progress,
               SubtitleCodec& codec, std::vector<SubtitleCue>& cues, QString& message,
               bool& cancelled)
{
    const DemuxedTrack read = readSubtitleTrack(path, index);
    if (!read.ok) {
        message = read.message;
        return false;
    }
    codec = read.track.codec;
    if (codec == SubtitleCodec::Unknown) {
        message = QStringLiteral("视频 %1 的第 %2 条字幕轨道是未知的格式, 不能导入.")
                      .arg(QFileInfo(path).fileName())
                      .arg(index);
        return false;
    }
    if (isPictureCodec(codec))
        return pictureCues(read, progress, cues, message, cancelled);
    cues = textCues(read.cues);
    return true;
}

} // namespace

FilmSubtitleRows readFilmSubtitleRows(const FilmSubtitleRequest& request, const SentenceRow& blank,
                                      const FilmProgress& progress)
{
    FilmSubtitleRows result;
    const QString name = QFileInfo(request.path).fileName();
    const SubtitleTrackList list = listSubtitleTracks(request.path);
    if (!list.ok) {
        result.message = list.message;
        return result;
    }
    if (list.tracks.empty()) {
        result.message = QStringLiteral("视频 %1 中没有字幕轨道.").arg(name);
        return result;
    }
    const TrackChoice chosen = chooseTracks(list.tracks, request.targetLanguage);
    result.track = request.track >= 0 ? request.track : chosen.sentence;
    if (request.secondTrackChosen || request.track >= 0)
        result.secondTrack = request.secondTrack;
    else
        result.secondTrack = chosen.prompt;
    if (result.secondTrack == result.track)
        result.secondTrack = -1;

    // The first track takes the first half of the progress when there is a
    // second one.
    const double share = result.secondTrack >= 0 ? 0.5 : 1.0;
    const auto part = [&](double from) {
        return std::function<bool(double)>([&progress, from, share](double done) {
            return !progress || progress(from + done * share);
        });
    };
    SubtitleCodec codec = SubtitleCodec::Unknown;
    std::vector<SubtitleCue> cues;
    if (!trackCues(request.path, result.track, part(0), codec, cues, result.message,
                   result.cancelled))
        return result;
    ParsedRows rows = rowsFromCues(cues, codec, blank);
    if (result.secondTrack >= 0) {
        SubtitleCodec secondCodec = SubtitleCodec::Unknown;
        std::vector<SubtitleCue> second;
        if (!trackCues(request.path, result.secondTrack, part(share), secondCodec, second,
                       result.message, result.cancelled))
            return result;
        pairSecondTrack(rows, second, secondCodec);
    }
    if (rows.rows.empty()) {
        const QString skipped = result.message;
        result.message =
            QStringLiteral("视频 %1 的第 %2 条字幕轨道没有文字.").arg(name).arg(result.track);
        if (!skipped.isEmpty())
            result.message += u' ' + skipped;
        return result;
    }
    result.rows = std::move(rows.rows);
    result.fromPictures = isPictureCodec(codec);
    result.ok = true;
    return result;
}

} // namespace dictora
