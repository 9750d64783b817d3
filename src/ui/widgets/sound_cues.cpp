// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/sound_cues.h"

#include "core/media/media_commands.h"
#include "core/study/program_folder.h"
#include "ui/widgets/resource_picture.h"

#include <QFile>

#include <cstdio>

namespace dictora {

namespace {

struct Cue {
    const char* file;
    const char* alias;
};

constexpr Cue kCues[] = {
    {"Tip.wav", "TIP_WAV"},
    {"Error.wav", "ERROR_WAV"},
    {"Match.wav", "MATCH_WAV"},
};

} // namespace

QStringList soundCueOpenCommands(const ProgramFolder& folder)
{
    QStringList commands;
    for (const Cue& cue : kCues) {
        commands << QStringLiteral("Open ") +
                        quotedPath(folder.cfgFolder() + QLatin1String(cue.file)) +
                        QStringLiteral(" Type MPEGVideo Alias ") + QLatin1String(cue.alias);
    }
    return commands;
}

void openSoundCues(MediaCommands& media, const ProgramFolder& folder)
{
    const QStringList commands = soundCueOpenCommands(folder);
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const char* file = kCues[i].file;
        media.openInBackground(commands[i], [file](const QString& reply) {
            if (isErrorReply(reply))
                std::fprintf(stderr, "dictora: the sound cue %s is skipped: %s\n", file,
                             qPrintable(reply.mid(QLatin1String("error: ").size())));
        });
    }
}

void playTipCue(MediaCommands* media)
{
    if (media)
        media->send(QStringLiteral("Play TIP_WAV From 0 "));
}

void playErrorCue(MediaCommands* media)
{
    if (media)
        media->send(QStringLiteral("Play ERROR_WAV From 0 "));
}

void playMatchCue(MediaCommands* media)
{
    if (media)
        media->send(QStringLiteral("Play MATCH_WAV From 0"));
}

void prepareProgramFolder(const ProgramFolder& folder)
{
    ensureProgramResources();
    prepareDataFolders(folder, QStringLiteral(":/Cfg/"));
}

} // namespace dictora
