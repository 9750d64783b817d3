// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    Outcome result;
    if (!process.waitForFinished(120000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Outcome cli(const QStringList& args)
{
    return run(QStringLiteral(DICTORA_CLI_PATH), args);
}

struct AlignCommand : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }

    // espeak-ng in a voice, speed and pitch the aligner does not use.
    QString speech(const QString& name, const QString& text) const
    {
        EXPECT_EQ(run(QStringLiteral("espeak-ng"),
                      {"-v", "en-gb+f3", "-s", "140", "-p", "70", "-w", path(name), text})
                      .status,
                  0);
        return path(name);
    }

    QString pipeline(const QString& name, const QString& description) const
    {
        EXPECT_EQ(run(QStringLiteral("gst-launch-1.0"),
                      QStringList{"-q"} + (description + " ! filesink location=" + path(name))
                                              .split(u' ', Qt::SkipEmptyParts))
                      .status,
                  0);
        return path(name);
    }
};

TEST_F(AlignCommand, PrintsWhereEachSentenceIsSpokenAndReTimesSubtitles)
{
    const QString media = speech(QStringLiteral("talk.wav"),
                                 QStringLiteral("Good morning, everyone. The museum is closed on "
                                                "Mondays. How much does this jacket cost?"));
    const QString text = write(QStringLiteral("talk.txt"),
                               "Good morning, everyone. The museum is closed on Mondays.\n"
                               "How much does this jacket cost?\n");
    const Outcome aligned = cli({"align", text, media});
    ASSERT_EQ(aligned.status, 0) << aligned.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(aligned.out.toUtf8()).object();
    const QJsonArray sentences = json["sentences"].toArray();
    ASSERT_EQ(sentences.size(), 3);
    EXPECT_EQ(sentences[1].toObject()["text"].toString(),
              QStringLiteral("The museum is closed on Mondays."));
    int previousEnd = 0;
    for (const QJsonValue& value : sentences) {
        const QJsonObject sentence = value.toObject();
        EXPECT_TRUE(sentence["found"].toBool());
        EXPECT_GE(sentence["startMs"].toInt(), previousEnd);
        EXPECT_GT(sentence["endMs"].toInt(), sentence["startMs"].toInt() + 500);
        previousEnd = sentence["endMs"].toInt();
    }
    EXPECT_GT(json["mediaMs"].toInt(), previousEnd - 1);
    EXPECT_TRUE(json.contains("seconds"));

    // The same sentences as a subtitle 2.5 s late: re-timed to the speech.
    const QString srt =
        write(QStringLiteral("late.srt"),
              "1\n00:00:02,500 --> 00:00:04,000\nGood morning, everyone.\n\n"
              "2\n00:00:04,500 --> 00:00:06,500\nThe museum is closed on Mondays.\n\n"
              "3\n00:00:07,000 --> 00:00:09,000\nHow much does this jacket cost?\n");
    const Outcome retimed = cli({"align", "--retime", srt, media});
    ASSERT_EQ(retimed.status, 0) << retimed.err.toStdString();
    const QJsonArray again =
        QJsonDocument::fromJson(retimed.out.toUtf8()).object()["sentences"].toArray();
    ASSERT_EQ(again.size(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(again[k].toObject()["startMs"].toInt(),
                    sentences[k].toObject()["startMs"].toInt(), 60);
    EXPECT_NE(cli({"align", "--retime", text, media}).status, 0); // no times to re-time
}

TEST_F(AlignCommand, BadInputGetsAClearMessageAndLeavesTheUnitAlone)
{
    const QString text = write(QStringLiteral("talk.txt"), "Good morning, everyone.\n");
    const QString speechFile =
        speech(QStringLiteral("talk.wav"), QStringLiteral("Good morning, everyone."));
    const QString silent =
        pipeline(QStringLiteral("silent.wav"), "audiotestsrc wave=silence num-buffers=50 ! wavenc");
    const QString pictures =
        pipeline(QStringLiteral("pictures.avi"), "videotestsrc num-buffers=10 ! jpegenc ! avimux");
    const QString empty = write(QStringLiteral("empty.txt"), "\n  \n");
    const QString chinese = write(QStringLiteral("chinese.txt"), "我们走吧。\n");
    QByteArray many;
    for (int k = 0; k < 60; ++k)
        many += "This sentence goes on and on for quite a long while without stopping.\n";
    const QString longText = write(QStringLiteral("long.txt"), many);

    struct Case {
        const char* name;
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {"silent media", {text, silent}, "听不到声音"},
        {"no audio stream", {text, pictures}, "没有音轨"},
        {"empty text", {empty, speechFile}, "没有可以对齐的句子"},
        {"script the voice cannot read", {chinese, speechFile, "--language", "en"}, "读不了"},
        {"unknown voice", {text, speechFile, "--language", "no-such-voice"}, "no-such-voice"},
        {"text far longer than the speech", {longText, speechFile}, "文本比录音长得多"},
    };
    for (const Case& c : cases) {
        const Outcome aligned = cli(QStringList{"align"} + c.args);
        EXPECT_EQ(aligned.status, 1) << c.name;
        EXPECT_TRUE(aligned.err.contains(QString::fromUtf8(c.message)))
            << c.name << ": " << aligned.err.toStdString();
    }

    // import --align: a refused alignment makes no Unit.
    const QString home = path(QStringLiteral("home"));
    QDir().mkpath(home);
    const Outcome refused =
        cli({"--home", home, "import", text, "--unit", "Talk", "--media", silent, "--align"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(QFile::exists(home + "/Data/Talk.dat"));
    const Outcome imported =
        cli({"--home", home, "import", text, "--unit", "Talk", "--media", speechFile, "--align"});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    const Outcome shown = cli({"--home", home, "show", "Talk"});
    EXPECT_TRUE(shown.out.contains("Good morning, everyone.")) << shown.out.toStdString();

    // Sentences the speech does not hold are not imported with made-up
    // times: refused, no Unit made; --partial imports those found.
    const QString more = write(QStringLiteral("more.txt"),
                               "Good morning, everyone.\nPlease turn off the lights when you "
                               "leave.\nOur teacher gave us a lot of homework today.\n");
    const Outcome partlyFound =
        cli({"--home", home, "import", more, "--unit", "More", "--media", speechFile, "--align"});
    EXPECT_EQ(partlyFound.status, 1);
    EXPECT_TRUE(partlyFound.err.contains(QStringLiteral("只找到了 1 句 (共 3 句)")))
        << partlyFound.err.toStdString();
    EXPECT_FALSE(QFile::exists(home + "/Data/More.dat"));
    const Outcome partial = cli({"--home", home, "import", more, "--unit", "More", "--media",
                                 speechFile, "--align", "--partial"});
    ASSERT_EQ(partial.status, 0) << partial.err.toStdString();
    EXPECT_TRUE(partial.out.contains("\"rowsAdded\":1")) << partial.out.toStdString();
}

} // namespace
