// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli tracks and import of a film's subtitle tracks, on MKV and MP4
// files muxed here from cues of known times.
#include "core/import/dvd_subpicture.h"
#include "core/study/cli_run.h"
#include "core/study/unit_file.h"
#include "support/media_runtime.h"
#include "support/subtitle_films.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

const char* const kText = "text/x-raw,format=utf8";
const char* const kAss = "application/x-ass";

class FilmTracks : public ::testing::Test {
protected:
    QTemporaryDir home;

    void SetUp() override
    {
        // PGS pictures are drawn with the system's fonts, which want a
        // QGuiApplication; it must come before the media runtime's
        // QCoreApplication.
        static int argc = 1;
        static char name[] = "film_tracks_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QGuiApplication(argc, argv);
        ensureMediaRuntime();
        ASSERT_TRUE(home.isValid());
    }

    QString film(const QString& name, bool mp4, const std::vector<MuxedTrack>& tracks)
    {
        const QString path = home.filePath(name);
        QString error;
        EXPECT_TRUE(writeSubtitleFilm(path, mp4, tracks, &error)) << error.toStdString();
        return path;
    }

    CliRun import(const QStringList& args)
    {
        return runCli(QStringList{"import"} + args + QStringList{"--unit", "Film"}, home.path());
    }

    std::vector<SentenceRow> sentences() const
    {
        const UnitReadResult read = readUnitFile(home.filePath("Data/Film.dat"), false);
        std::vector<SentenceRow> rows;
        for (const SentenceRow& row : read.rows) {
            if (row[Kind] != "0")
                rows.push_back(row);
        }
        return rows;
    }

    QByteArray unitBytes() const
    {
        QFile file(home.filePath("Data/Film.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// English SubRip, Chinese ASS and an English forced track, with times that
// a rounding to frames or centiseconds would change.
std::vector<MuxedTrack> threeTracks()
{
    return {
        {kText,
         "language-code=en,title=English",
         {{1234, 2345, "<i>Hello</i> there"},
          {3001, 4567, "Second line\nand more"},
          {7777, 9999, "Last &amp; least"}}},
        {kAss,
         "language-code=zh,title=Simplified",
         {{1200, 2400, "0,0,Default,,0,0,0,,{\\i1}你好{\\i0}"},
          {3000, 4500, "1,0,Default,,0,0,0,,第二\\N句"},
          {7700, 8000, "2,0,Default,,0,0,0,,最后"}}},
        {kText, "language-code=en,title=Signs", {{5000, 6000, "SIGN"}}},
    };
}

} // namespace

TEST_F(FilmTracks, ListsTheSubtitleTracksOfAnMkv)
{
    const QString path = film("film.mkv", false, threeTracks());
    const CliRun run = runCli({"tracks", path}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    QStringList tracks;
    for (const QJsonValue& track : run.json["tracks"].toArray()) {
        const QJsonObject t = track.toObject();
        tracks << QStringList{t["index"].toVariant().toString(),
                              t["codec"].toString(),
                              t["language"].toString(),
                              t["languageName"].toString(),
                              t["title"].toString(),
                              t["forced"].toVariant().toString()}
                      .join('|');
    }
    EXPECT_EQ(tracks, QStringList({"0|SubRip|en|英语|English|false",
                                   "1|ASS/SSA|zh|简体中文|Simplified|false",
                                   "2|SubRip|en|英语|Signs|false"}));
    EXPECT_EQ(run.json["defaultTrack"].toInt(), 0);
    EXPECT_EQ(run.json["defaultSecondTrack"].toInt(), 1);
    // The forced flag, which the demuxer does not pass on, from the file's track entry.
    const QString forced = home.filePath("forced.mkv");
    ASSERT_TRUE(
        writePgsMatroska(forced, "eng", {{1000, 2000, QByteArray("\x80\0\0", 3)}}, false, true));
    const CliRun listed = runCli({"tracks", forced}, home.path());
    EXPECT_EQ(listed.json["tracks"].toArray().at(0).toObject().value("forced"), true);
}

TEST_F(FilmTracks, TheUnitsLanguageChoosesTheSentenceTrack)
{
    // A Unit of French sentences takes the French track, with the Chinese
    // one as its prompt.
    const QString lesson = home.filePath("lecon.txt");
    QFile text(lesson);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("Je ne sais pas, c'est une idée.\n"));
    text.close();
    ASSERT_EQ(import({lesson}).exitCode, 0);
    std::vector<MuxedTrack> tracks = threeTracks();
    tracks.push_back({kText, "language-code=fr", {{1234, 2345, "Bonjour"}}});
    const QString path = film("film.mkv", false, tracks);
    EXPECT_EQ(runCli({"tracks", path, "--unit", "Film"}, home.path()).json["defaultTrack"].toInt(),
              3);
    const CliRun run = import({path});
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    const std::vector<SentenceRow> rows = sentences();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][Text], " Bonjour");
    EXPECT_EQ(rows[1][Text2], QString::fromUtf8(" 你好"));
}

TEST_F(FilmTracks, ImportsCuesToTheMillisecondWithTheSecondTrackAsPrompt)
{
    struct Case {
        bool mp4;
        QStringList options;
        const char* firstText2;
    };
    // The MP4 carries only mov_text tracks: English, then Chinese.
    const std::vector<MuxedTrack> movText{
        {kText, "language-code=en", threeTracks()[0].cues},
        {kText,
         "language-code=zh",
         {{1200, 2400, "你好"}, {3000, 4500, "第二 句"}, {7700, 8000, "最后"}}}};
    const Case cases[] = {
        {false, {}, "你好"}, // the default choice: English sentences, Chinese prompt
        {false, {"--track", "0", "--second-track", "1"}, "你好"},
        {false, {"--track", "0"}, ""},
        {true, {}, "你好"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString() + (c.mp4 ? " mp4" : " mkv"));
        QFile::remove(home.filePath("Data/Film.dat"));
        const QString path =
            c.mp4 ? film("film.mp4", true, movText) : film("film.mkv", false, threeTracks());
        const CliRun run = import(QStringList{path} + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
        const std::vector<SentenceRow> rows = sentences();
        ASSERT_EQ(rows.size(), 3u);
        const char* texts[] = {" Hello there", " Second line and more", " Last & least"};
        const char* starts[] = {"1234", "3001", "7777"};
        const char* ends[] = {"2345", "4567", "9999"};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(rows[i][Text], texts[i]);
            EXPECT_EQ(rows[i][StartMs], starts[i]);
            EXPECT_EQ(rows[i][EndMs], ends[i]);
        }
        EXPECT_EQ(rows[0][Text2].trimmed(), QString::fromUtf8(c.firstText2));
        if (*c.firstText2) {
            EXPECT_EQ(rows[1][Text2], QString::fromUtf8(" 第二 句"));
        }
        // The film is the Section's media.
        const UnitReadResult read = readUnitFile(home.filePath("Data/Film.dat"), false);
        EXPECT_EQ(read.rows[1][MediaPath], path);
    }
}

TEST_F(FilmTracks, BadFilmsAreRefusedAndTheUnitKept)
{
    const QString lesson = home.filePath("lesson.srt");
    QFile text(lesson);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("1\n00:00:01,000 --> 00:00:02,000\nKept\n");
    text.close();
    ASSERT_EQ(import({lesson}).exitCode, 0);
    const QByteArray before = unitBytes();

    const QString good = film("film.mkv", false, threeTracks());
    QFile damagedFile(home.filePath("damaged.mkv"));
    ASSERT_TRUE(damagedFile.open(QIODevice::WriteOnly));
    damagedFile.write(QByteArray("\x1A\x45\xDF\xA3", 4) + QByteArray(300, '\x7f'));
    damagedFile.close();
    QFile textAsMp4(home.filePath("notes.mp4"));
    ASSERT_TRUE(textAsMp4.open(QIODevice::WriteOnly));
    textAsMp4.write("just some words\n");
    textAsMp4.close();
    const QString noSubtitles =
        film("silent.mkv", false,
             {{"audio/x-raw,format=S16LE,layout=interleaved,rate=8000,channels=1",
               "",
               {{0, 100, QByteArray(1600, 0)}, {100, 200, QByteArray(1600, 0)}}}});
    // Korean pictures, whose OCR data is not installed.
    const QString korean = home.filePath("korean.mkv");
    ASSERT_TRUE(writePgsMatroska(korean, "kor", {{1000, 2000, QByteArray("\x80\0\0", 3)}}, false));
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{damagedFile.fileName()}, 1, "已损坏"},
        {{textAsMp4.fileName()}, 1, "是媒体文件, 不是文本"},
        {{noSubtitles}, 1, "没有字幕轨道"},
        {{good, "--track", "5"}, 1, "没有第 5 条字幕轨道"},
        {{good, "--media", lesson}, 2, "brings its own media"},
        {{lesson, "--track", "1"}, 2, "are for a video"},
        {{korean}, 1, "tesseract-ocr-kor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = import(c.args + QStringList{"--section", "1", "--replace"});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.error.contains(QString::fromUtf8(c.message))) << run.error.toStdString();
        EXPECT_EQ(unitBytes(), before);
    }
}

TEST_F(FilmTracks, PictureSubtitlesAreReadByOcrWithTheirTimes)
{
    ASSERT_TRUE(qobject_cast<QGuiApplication*>(QCoreApplication::instance()));
    struct Case {
        const char* language;
        bool compressed;
        std::vector<QStringList> cues;
    };
    const Case cases[] = {
        {"eng",
         true,
         {{"I like coffee and tea."}, {"Little cats will eat fish,", "and dogs eat meat."}}},
        {"chi", false, {{"我喜欢喝茶。"}, {"今天天气很好", "我们去公园吧"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        std::vector<MuxedCue> cues;
        uint32_t at = 1001;
        for (const QStringList& lines : c.cues) {
            cues.push_back({at, at + 1500, pgsDisplaySet(lines)});
            cues.push_back({at + 1500, at + 1501, pgsDisplaySet({})});
            at += 2003;
        }
        const QString path = home.filePath(QStringLiteral("pgs-%1.mkv").arg(c.language));
        ASSERT_TRUE(writePgsMatroska(path, c.language, cues, c.compressed));
        QFile::remove(home.filePath("Data/Film.dat"));
        const CliRun run = import({path});
        ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
        // Text read from pictures waits for the learner's look.
        EXPECT_EQ(run.json["rowsToReview"].toInt(), int(c.cues.size()));
        EXPECT_EQ(runCli({"show", "Film"}, home.path()).json["review"].toArray().size(),
                  qsizetype(c.cues.size()));
        const std::vector<SentenceRow> rows = sentences();
        ASSERT_EQ(rows.size(), c.cues.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i][Text], " " + c.cues[i].join(" "));
            EXPECT_EQ(rows[i][StartMs], QString::number(1001 + 2003 * i));
            EXPECT_EQ(rows[i][EndMs], QString::number(2501 + 2003 * i));
        }
    }
}

TEST_F(FilmTracks, VobSubPicturesAreReadByOcrWithTheirTimes)
{
    struct Case {
        const char* what;
        const char* language;
        int width, height, pixelSize;
        bool sizeLine;
        std::optional<uint32_t> stopMs; // the unit's own stop-display delay
        uint32_t blockMs;               // the block's duration, 0 for none
        bool darkLetters;
        const char* file; // "mkv", "zlib" (Matroska, blocks compressed) or "mp4"
    };
    const std::vector<QStringList> english{{"I like coffee and tea."},
                                           {"Little cats will eat fish,", "and dogs eat meat."}};
    const std::vector<QStringList> chinese{{"我喜欢喝茶。"}, {"今天天气很好", "我们去公园吧"}};
    const Case cases[] = {
        {"DVD PAL, own stop", "eng", 720, 576, 26, true, 1536, 1800, false, "mkv"},
        {"1080p, no size line, zlib", "eng", 1920, 1080, 48, false, {}, 1500, false, "zlib"},
        {"DVD NTSC, dark letters, no end at all", "eng", 720, 480, 26, true, {}, 0, true, "mkv"},
        {"Chinese 1080p", "chi", 1920, 1080, 48, true, 1024, 0, false, "mkv"},
        {"MP4, palette in the sample entry", "eng", 720, 576, 26, true, 1536, 1800, false, "mp4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<QStringList>& lines = *c.language == 'e' ? english : chinese;
        std::vector<MuxedCue> cues;
        std::vector<uint32_t> starts, ends;
        for (size_t i = 0; i < lines.size(); ++i) {
            const uint32_t start = 1001 + 2003 * uint32_t(i);
            cues.push_back(
                {start, start + c.blockMs,
                 dvdSubpicture(lines[i], c.width, c.height, c.pixelSize, c.stopMs, c.darkLetters)});
            starts.push_back(start);
            ends.push_back(c.stopMs    ? start + *c.stopMs
                           : c.blockMs ? start + c.blockMs
                                       : start + kLongestUntimedPictureMs);
        }
        if (!c.stopMs && !c.blockMs)
            ends.front() = starts[1]; // the next picture ends it
        // A damaged unit before the pictures is skipped and counted.
        cues.insert(cues.begin(), {500, 500, cues.front().payload.left(40)});
        const bool mp4 = QByteArray(c.file) == "mp4";
        const QString path =
            home.filePath(QStringLiteral("vobsub-%1.%2").arg(c.language, mp4 ? "mp4" : "mkv"));
        const QByteArray index = vobSubIndexText(c.sizeLine ? c.width : 0, c.height);
        ASSERT_TRUE(mp4 ? writeVobSubMp4(path, c.language, cues)
                        : writeVobSubMatroska(path, c.language, index, cues, *c.file == 'z'));
        QFile::remove(home.filePath("Data/Film.dat"));
        const CliRun run = import({path});
        ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
        EXPECT_TRUE(run.error.contains(QString::fromUtf8("跳过了 1 张损坏的字幕图片")))
            << run.error.toStdString();
        const std::vector<SentenceRow> rows = sentences();
        ASSERT_EQ(rows.size(), lines.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i][Text], " " + lines[i].join(" "));
            EXPECT_EQ(rows[i][StartMs], QString::number(starts[i]));
            EXPECT_EQ(rows[i][EndMs], QString::number(ends[i]));
        }
    }
}
