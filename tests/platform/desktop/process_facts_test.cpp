// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/process_facts.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <unistd.h>

namespace dictora {
namespace {

TEST(ProcessFacts, StartTimeIsField22WhateverTheProgramIsCalled)
{
    // A program may name itself with blanks and parentheses.
    const QByteArray line = "4242 (a) b (c)) S 1 4242 4242 0 -1 4194560 100 0 0 0 1 2 0 0 20 0 "
                            "1 0 987654 1000 50 18446744073709551615\n";
    EXPECT_EQ(startTimeFromStat(line), 987654u);
    EXPECT_EQ(startTimeFromStat("4242 (cut short) S 1 2 3"), 0u);
    EXPECT_EQ(startTimeFromStat("no name at all"), 0u);
}

TEST(ProcessFacts, ReadsThisProcessAndKnowsItsThreads)
{
    const ProcessFacts self = readProcessFacts(getpid());
    ASSERT_TRUE(self.known);
    EXPECT_EQ(self.threadGroup, qint64(getpid()));
    EXPECT_GT(self.startTime, 0u);
    EXPECT_EQ(self.realUid, qint64(getuid()));

    // A thread id is a process id to /proc and to kill() alike.
    std::promise<qint64> threadId;
    std::promise<void> release;
    std::thread worker([&] {
        threadId.set_value(gettid());
        release.get_future().wait();
    });
    const ProcessFacts thread = readProcessFacts(threadId.get_future().get());
    release.set_value();
    worker.join();
    EXPECT_EQ(thread.threadGroup, qint64(getpid()));
    EXPECT_EQ(endRefusal(thread, self, 0), EndRefusal::ThisProgram);

    EXPECT_FALSE(readProcessFacts(0).known);
    EXPECT_FALSE(readProcessFacts(-7).known);
}

TEST(ProcessFacts, WhichProcessesMayBeEnded)
{
    const auto process = [](qint64 pid, qint64 uid, quint32 session) {
        ProcessFacts facts;
        facts.pid = pid;
        facts.known = true;
        facts.threadGroup = pid;
        facts.startTime = 100;
        facts.realUid = uid;
        facts.effectiveUid = uid;
        facts.loginUid = session == ProcessFacts::kNoLogin ? session : quint32(uid);
        facts.loginSession = session;
        return facts;
    };
    const ProcessFacts learner = process(4000, 1000, 3);
    const ProcessFacts root = process(4000, 0, 3);
    const ProcessFacts rootWithoutLogins = process(4000, 0, ProcessFacts::kNoLogin);
    constexpr qint64 kWindowManager = 900;

    struct Case {
        const char* name;
        ProcessFacts target;
        ProcessFacts self;
        EndRefusal expected;
    };
    ProcessFacts threadOfOwn = process(4001, 1000, 3);
    threadOfOwn.threadGroup = 4000;
    ProcessFacts threadOfOther = process(5001, 1000, 3);
    threadOfOther.threadGroup = 5000;
    ProcessFacts setUid = process(5000, 1000, 3);
    setUid.effectiveUid = 0;
    ProcessFacts gone;
    gone.pid = 5000;
    const Case cases[] = {
        {"another program of the learner", process(5000, 1000, 3), learner, EndRefusal::Allowed},
        {"init", process(1, 1000, 3), learner, EndRefusal::Init},
        {"no process", process(0, 1000, 3), learner, EndRefusal::Init},
        {"this program", process(4000, 1000, 3), learner, EndRefusal::ThisProgram},
        {"a thread of this program", threadOfOwn, learner, EndRefusal::ThisProgram},
        {"a thread of another program", threadOfOther, learner, EndRefusal::Unknown},
        {"gone", gone, learner, EndRefusal::Unknown},
        {"the window manager", process(kWindowManager, 1000, 3), learner,
         EndRefusal::WindowManager},
        {"another user", process(5000, 1001, 3), learner, EndRefusal::OtherUser},
        {"a set-user-id program", setUid, learner, EndRefusal::OtherUser},
        {"another login of the learner", process(5000, 1000, 4), learner, EndRefusal::OtherLogin},
        {"a root daemon, this program run as root", process(5000, 0, ProcessFacts::kNoLogin), root,
         EndRefusal::OtherLogin},
        {"root's other login", process(5000, 0, 7), root, EndRefusal::OtherLogin},
        {"root's own login", process(5000, 0, 3), root, EndRefusal::Allowed},
        {"no login records anywhere", process(5000, 0, ProcessFacts::kNoLogin), rootWithoutLogins,
         EndRefusal::Allowed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(endRefusal(c.target, c.self, kWindowManager), c.expected) << c.name;
}

} // namespace
} // namespace dictora
