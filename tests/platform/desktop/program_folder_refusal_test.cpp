// SPDX-License-Identifier: GPL-3.0-or-later
// The program with a program folder whose lock cannot be taken: it says why
// and goes no further, so no second writer runs unlocked beside another.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(ProgramFolderRefusal, UnusableLockStopsTheProgramBeforeItTouchesAFile)
{
    QTemporaryDir temp;
    const QString runtime = temp.filePath(QStringLiteral("run"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A folder where the lock file belongs: no lock can be taken on it.
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/Dictora.lock")));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("DICTORA_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DICTORA_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(DICTORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(15000));
    // The reason comes on standard error as the message box goes up; the
    // program then waits for the learner's OK with nothing of the folder
    // made and no study screen.
    program.setReadChannel(QProcess::StandardError);
    QByteArray error;
    while (!error.contains('\n') && program.state() == QProcess::Running &&
           program.waitForReadyRead(15000))
        error += program.readAllStandardError();
    error += program.readAllStandardError();
    EXPECT_EQ(QString::fromUtf8(error).trimmed(),
              QStringLiteral("dictora: cannot take the program folder %1/ for writing: "
                             "%1/Dictora.lock is not a plain file; remove it, or Dictora cannot "
                             "tell other writers to wait")
                  .arg(home));
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty()); // no first frame
    EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Dictora.lock")});
    program.kill();
    program.waitForFinished(15000);
}

} // namespace
} // namespace dictora
