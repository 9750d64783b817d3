// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli tracks: the subtitle tracks of a video as JSON; and the reader
// of a video's subtitle rows that `import VIDEO` uses.
#include "cli/cli_command.h"
#include "cli/study_context.h"
#include "platform/media/film_subtitles.h"
#include "platform/media/subtitle_track_reader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <gst/gst.h>

namespace dictora::cli {

namespace {

int runTracks(QStringList args)
{
    // With --unit, the default tracks are those an import into that Unit
    // takes. The program folder is only read.
    const ProgramFolder folder = programFolderFor(takeOption(args, QStringLiteral("--home")));
    const QString unitName = takeOption(args, QStringLiteral("--unit"));
    takeOption(args, QStringLiteral("--now")); // common to every command, of no use here
    const QString targetLanguage = unitName.isEmpty() ? QString() : unitLanguage(folder, unitName);
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one video file")};
    if (!QFileInfo(args.first()).isFile())
        throw UsageError{QStringLiteral("cannot read %1").arg(args.first())};
    gst_init(nullptr, nullptr);
    const SubtitleTrackList list = listSubtitleTracks(QFileInfo(args.first()).absoluteFilePath());
    if (!list.ok) {
        printError(QStringLiteral("dictora-cli tracks: ") + list.message);
        return 1;
    }
    QJsonArray tracks;
    for (const SubtitleTrack& track : list.tracks) {
        tracks.append(QJsonObject{
            {"index", track.index},
            {"codec", codecName(track.codec)},
            {"language", track.language},
            {"languageName", languageName(track.language, track.title)},
            {"title", track.title},
            {"default", track.isDefault},
            // Known from a Matroska file's own track entries; unknown (null)
            // in MP4, which has no such flag.
            {"forced", track.forcedKnown ? QJsonValue(track.forced) : QJsonValue()},
            {"picture", isPictureCodec(track.codec)},
            {"cueCount", track.cueCount >= 0 ? QJsonValue(track.cueCount) : QJsonValue()}});
    }
    const TrackChoice choice = chooseTracks(list.tracks, targetLanguage);
    printJson({{"tracks", tracks},
               {"defaultTrack", choice.sentence},
               {"defaultSecondTrack", choice.prompt}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("tracks"),
     QStringLiteral("tracks VIDEO [--unit NAME]   the subtitle tracks of an MKV or MP4 video as "
                    "JSON: index, codec, language, title, default and forced flags, cue count "
                    "when known, and the tracks an import (into the Unit NAME) takes by default"),
     runTracks}};

const FilmRowsReaderRegistration reader{[](const FilmTracksRequest& tracks,
                                           const SentenceRow& blank, std::vector<SentenceRow>& rows,
                                           bool& fromPictures, QString& message) {
    gst_init(nullptr, nullptr);
    FilmSubtitleRequest request;
    request.path = tracks.path;
    request.track = tracks.track;
    request.secondTrack = tracks.secondTrack;
    request.secondTrackChosen = tracks.secondTrack >= 0;
    request.targetLanguage = tracks.targetLanguage;
    FilmSubtitleRows read = readFilmSubtitleRows(request, blank);
    if (!read.ok) {
        message = read.message;
        return false;
    }
    if (!read.message.isEmpty())
        printError(QStringLiteral("dictora-cli import: ") + read.message);
    rows = std::move(read.rows);
    fromPictures = read.fromPictures;
    return true;
}};

} // namespace

} // namespace dictora::cli
