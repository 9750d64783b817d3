// SPDX-License-Identifier: GPL-3.0-or-later
// The program started with an audio output that never gets ready, and with a
// sound cue that is not sound: the study screen comes up regardless, and the
// cue is named once on standard error.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(AudioOutputAtStart, NeitherAStuckOutputNorABadCueHoldsTheWindowUp)
{
    QTemporaryDir temp;
    const QString runtime = temp.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("DICTORA_HOME"), temp.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // The valve lets nothing through, so the output never prerolls and each
    // cue would wait 15 s for it. Asked to end at its first frame, the
    // program ends at once, dropping the cues still opening without a word.
    QProcess stuck;
    QProcessEnvironment stuckEnv = env;
    stuckEnv.insert(QStringLiteral("DICTORA_AUDIO_SINK"),
                    QStringLiteral("valve drop=true ! fakesink"));
    stuckEnv.insert(QStringLiteral("DICTORA_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    stuck.setProcessEnvironment(stuckEnv);
    stuck.start(QStringLiteral(DICTORA_PROGRAM), {});
    ASSERT_TRUE(stuck.waitForReadyRead(60000));
    EXPECT_TRUE(stuck.readAllStandardOutput().startsWith("first-frame-ms "));
    ASSERT_TRUE(stuck.waitForFinished(5000));
    EXPECT_EQ(stuck.exitCode(), 0);
    EXPECT_FALSE(stuck.readAllStandardError().contains("sound cue"));

    QFile tip(temp.filePath(QStringLiteral("home/Cfg/Tip.wav")));
    ASSERT_TRUE(tip.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(tip.write(QByteArray(4096, 'x')), 4096);
    tip.close();
    QProcess program;
    program.setProcessEnvironment(env);
    program.setReadChannel(QProcess::StandardError);
    program.start(QStringLiteral(DICTORA_PROGRAM), {});
    QByteArray error;
    while (!error.contains("Tip.wav") && program.waitForReadyRead(60000))
        error += program.readAllStandardError();
    program.kill();
    program.waitForFinished(15000);
    EXPECT_EQ(error.count("sound cue"), 1) << error.constData();
    EXPECT_TRUE(error.contains("dictora: the sound cue Tip.wav is skipped: cannot open " +
                               QFile::encodeName(tip.fileName())))
        << error.constData();
}

} // namespace
} // namespace dictora
