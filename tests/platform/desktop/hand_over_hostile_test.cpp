// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/handed_files.h"
#include "platform/desktop/private_folder.h"
#include "platform/desktop/single_instance.h"
#include "support/print_qstring.h"
#include "support/server_ready.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace dictora {
namespace {

constexpr uid_t kOtherUser = 65534; // "nobody"
const uid_t kMe = ::geteuid();

bool own(const QString& path, uid_t user, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return QDir().mkpath(path) && ::chown(name, user, user) == 0 && ::chmod(name, mode) == 0;
}

// The real program beside a temporary folder that all users share (as /tmp);
// "lesson.srt" is the file handed over; "run" a runtime folder.
struct Scene {
    QTemporaryDir dir;
    QString tmp = dir.filePath("tmp"), mine = tmp + "/dictora-" + QString::number(kMe);
    QString file = dir.filePath("lesson.srt"), run = dir.filePath("run");
    QString socket = run + "/Global_Dictora.exe";
    std::vector<std::unique_ptr<QProcess>> programs;

    Scene()
    {
        QFile lesson(file);
        EXPECT_TRUE(own(dir.path(), kMe, 0755) && own(tmp, kMe, 01777) &&
                    lesson.open(QIODevice::WriteOnly));
    }
    ~Scene()
    {
        for (auto& program : programs)
            program->kill(), program->waitForFinished();
    }
    // Dictora as `user` (its own home), with XDG_RUNTIME_DIR `runtime` or none.
    QProcess& start(QStringList args, const QString& runtime, uid_t user = kMe, bool once = true)
    {
        const QString home = dir.filePath(QString::number(user));
        EXPECT_TRUE(own(home, user, 0700));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty())
            env.insert("XDG_RUNTIME_DIR", runtime);
        for (const char* name : {"HOME", "DICTORA_HOME"})
            env.insert(name, home);
        env.insert("TMPDIR", tmp);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DICTORA_REPORT_FIRST_FRAME", once ? "1" : "0");
        if (user != kMe)
            args = QStringList{QStringLiteral("--reuid=%1").arg(user),
                               QStringLiteral("--regid=%1").arg(user), "--clear-groups",
                               DICTORA_PROGRAM} +
                   args;
        programs.push_back(std::make_unique<QProcess>());
        programs.back()->setProcessEnvironment(env);
        programs.back()->start(user != kMe ? "setpriv" : DICTORA_PROGRAM, args);
        return *programs.back();
    }
    // Runs it to its end: its exit code, and what it said.
    int exitCode(const QStringList& args, const QString& runtime, QByteArray* said,
                 uid_t user = kMe)
    {
        QProcess& program = start(args, runtime, user);
        const bool ended = program.waitForFinished(60000);
        *said = program.readAllStandardOutput() + program.readAllStandardError();
        return ended && program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }
};

// A start that must run (it reports its first frame), say why it looks for
// no other copy, and leave the user's folder as planted.
void runsSaying(Scene& s, const char* reason)
{
    QByteArray said;
    EXPECT_EQ(s.exitCode({s.file}, {}, &said), 0);
    EXPECT_TRUE(said.startsWith("first-frame-ms") && said.contains(reason)) << said.constData();
    EXPECT_TRUE(QDir(s.mine).isEmpty());
}

TEST(HandOver, NoOtherUserCanStopItOrReadWhatItIsHandedAndNoFloodEndsIt)
{
    struct Case {
        const char* name;
        bool asAnotherUser;
        std::function<void(Scene&)> check;
    };
    const Case cases[] = {
        {"a lock and a listener planted in the shared folder", false,
         [](Scene& s) {
             QFile lock(s.tmp + "/Global_Dictora.exe.lock"); // as by touch(1)
             ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
             QLocalServer planted;
             ASSERT_TRUE(planted.listen(s.tmp + "/Global_Dictora.exe"));
             QByteArray said;
             EXPECT_EQ(s.exitCode({s.file}, {}, &said), 0);
             EXPECT_TRUE(said.startsWith("first-frame-ms")) << said.constData();
             EXPECT_FALSE(planted.waitForNewConnection(0));
             EXPECT_EQ(privateFolderProblem(s.mine), QString());
         }},
        {"the user's folder open to others", false,
         [](Scene& s) {
             ASSERT_TRUE(own(s.mine, kMe, 0755));
             runsSaying(s, "can be used by other users (mode 0755)");
         }},
        {"a link in place of the user's folder", false,
         [](Scene& s) {
             ASSERT_TRUE(own(s.run, kMe, 0700) && QFile::link(s.run, s.mine));
             runsSaying(s, "is a symbolic link");
         }},
        {"the user's folder made by another user", true,
         [](Scene& s) {
             ASSERT_TRUE(own(s.mine, kOtherUser, 0700));
             runsSaying(s, "belongs to another user");
         }},
        {"another user connecting to the socket", true,
         [](Scene& s) {
             ASSERT_TRUE(own(s.run, kOtherUser, 0700));
             s.start({}, s.run, kOtherUser, false);
             QLocalSocket intruder;
             ASSERT_TRUE(QTest::qWaitFor(
                 [&] { return intruder.connectToServer(s.socket), intruder.waitForConnected(100); },
                 test::kServerReadyLimitMs));
             intruder.write(encodeHandedFiles({s.file}));
             EXPECT_TRUE(intruder.waitForDisconnected(10000));
             EXPECT_FALSE(intruder.readAll().contains(kHandedFilesTaken));
             QByteArray said; // the same hand-over from its own user is taken
             EXPECT_EQ(s.exitCode({s.file}, s.run, &said, kOtherUser), 0) << said.constData();
         }},
        {"a flood of connections past the descriptor limit", false,
         [](Scene& s) {
             ASSERT_TRUE(own(s.run, kMe, 0700));
             QProcess& first = s.start({}, s.run, kMe, false);
             // The hand-over below needs the first copy listening, not merely started.
             ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(s.socket); },
                                         test::kServerReadyLimitMs));
             QByteArray said;
             ASSERT_EQ(s.exitCode({s.file}, s.run, &said), 0) << said.constData();
             // Room for a few more descriptors than it holds now.
             const QDir fds(QStringLiteral("/proc/%1/fd").arg(first.processId()));
             const rlim_t few = fds.entryList(QDir::AllEntries | QDir::System).size() + 30;
             const rlimit limit{few, few};
             ASSERT_EQ(::prlimit(pid_t(first.processId()), RLIMIT_NOFILE, &limit, nullptr), 0);
             sockaddr_un address{AF_UNIX, {}};
             qstrncpy(address.sun_path, QFile::encodeName(s.socket), sizeof address.sun_path);
             std::vector<int> flood(300);
             for (int& connection : flood) {
                 connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
                 ::connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address);
             }
             EXPECT_TRUE(QTest::qWaitFor(
                 [&] { return (said += first.readAllStandardError()).contains("trying again"); },
                 30000))
                 << said.constData();
             EXPECT_TRUE(QFileInfo::exists(s.socket));
             for (const int connection : flood)
                 ::close(connection);
             EXPECT_EQ(s.exitCode({s.file}, s.run, &said), 0) << said.constData();
         }},
        {"a running copy that does not take the files", false,
         [](Scene& s) {
             ASSERT_TRUE(own(s.run, kMe, 0700));
             SingleInstance holder(s.run);
             ASSERT_EQ(holder.acquire(), SingleInstance::Outcome::Acquired);
             QByteArray said;
             EXPECT_EQ(s.exitCode({s.file}, s.run, &said), 1);
             EXPECT_TRUE(said.contains("did not take the files within")) << said.constData();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asAnotherUser && kMe != 0) {
            std::printf("[  SKIPPED ] %s: acting as another user needs root\n", c.name);
            continue;
        }
        Scene scene;
        c.check(scene);
    }
}

} // namespace
} // namespace dictora
