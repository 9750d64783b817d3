// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/process_facts.h"

#include <QFile>
#include <QList>

namespace dictora {

namespace {

// /proc files are small; they are read whole, never trusted to end in time.
QByteArray readProcFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64 * 1024);
}

// The value of a "Name:\tvalue ..." line of /proc/PID/status.
QByteArray statusField(const QByteArray& status, const QByteArray& name)
{
    const QByteArray key = '\n' + name + ':';
    const qsizetype at = ('\n' + status).indexOf(key);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size() - 1; // less the '\n' put in front
    const qsizetype end = status.indexOf('\n', start);
    return status.mid(start, end < 0 ? -1 : end - start).trimmed();
}

quint32 loginNumber(const QByteArray& text)
{
    bool ok = false;
    const quint32 value = text.trimmed().toUInt(&ok);
    return ok ? value : ProcessFacts::kNoLogin;
}

} // namespace

quint64 startTimeFromStat(const QByteArray& statLine)
{
    // "PID (name) state ppid ...": the name ends at the last ')'; field 22,
    // the start time, is the 20th after it.
    const qsizetype nameEnd = statLine.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = statLine.mid(nameEnd + 1).simplified().split(' ');
    constexpr int kStartTimeAfterName = 19; // 0-based: field 3 is the first after it
    if (fields.size() <= kStartTimeAfterName)
        return 0;
    bool ok = false;
    const quint64 start = fields.at(kStartTimeAfterName).toULongLong(&ok);
    return ok ? start : 0;
}

ProcessFacts readProcessFacts(qint64 pid)
{
    ProcessFacts facts;
    facts.pid = pid;
    if (pid <= 0)
        return facts;
    const QByteArray status = readProcFile(pid, "status");
    const quint64 start = startTimeFromStat(readProcFile(pid, "stat"));
    const QList<QByteArray> uids = statusField(status, "Uid").simplified().split(' ');
    bool tgidOk = false;
    const qint64 tgid = statusField(status, "Tgid").toLongLong(&tgidOk);
    if (start == 0 || !tgidOk || uids.size() < 2)
        return facts;
    facts.known = true;
    facts.threadGroup = tgid;
    facts.startTime = start;
    facts.realUid = uids.at(0).toLongLong();
    facts.effectiveUid = uids.at(1).toLongLong();
    facts.loginUid = loginNumber(readProcFile(pid, "loginuid"));
    facts.loginSession = loginNumber(readProcFile(pid, "sessionid"));
    return facts;
}

EndRefusal endRefusal(const ProcessFacts& target, const ProcessFacts& self, qint64 windowManager)
{
    if (target.pid <= 1)
        return EndRefusal::Init;
    if (target.pid == self.pid || target.threadGroup == self.pid)
        return EndRefusal::ThisProgram;
    if (!target.known)
        return EndRefusal::Unknown;
    // A thread id would signal the whole of its process: only the process
    // itself is named.
    if (target.threadGroup != target.pid)
        return EndRefusal::Unknown;
    if (windowManager > 0 && target.pid == windowManager)
        return EndRefusal::WindowManager;
    if (target.realUid != self.realUid || target.effectiveUid != self.realUid)
        return EndRefusal::OtherUser;
    // The same user id is not the same learner at the desk: root runs the
    // system's daemons, and one user may be logged in twice. Where the
    // system keeps no login records, every process says "none" and the user
    // id is all there is to go by.
    if (target.loginUid != self.loginUid || target.loginSession != self.loginSession)
        return EndRefusal::OtherLogin;
    return EndRefusal::Allowed;
}

} // namespace dictora
