// SPDX-License-Identifier: GPL-3.0-or-later
// Memory and time for reading Cfg/App.ini when it is huge: 200 MB of random
// bytes, and 200 MB of 100 million short lines. Only the first megabyte and
// 10,000 lines are read, so both should cost a few megabytes at most.
// Prints the growth of the peak resident memory for each (VmHWM over VmRSS
// before, the peak started afresh through /proc/self/clear_refs).
#include "core/screensaver/allow_list.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace dictora;

namespace {

constexpr qint64 kFileSize = 200LL * 1024 * 1024;

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM").
long statusKilobytes(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Starts the peak resident memory afresh at the present one.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Writes the file a megabyte at a time, so writing it raises no peak.
bool writeFile(const QString& path, const std::function<void(QByteArray&)>& fill)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1024 * 1024, '\0');
    for (qint64 written = 0; written < kFileSize; written += block.size()) {
        fill(block);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

void measure(const char* name, const QString& path)
{
    resetPeak();
    const long before = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const AllowList list = AllowList::load(path);
    std::printf("%s (%lld MB): %lld patterns, rest ignored: %s, %lld ms, peak memory +%ld KB\n",
                name, QFile(path).size() / (1024 * 1024), qlonglong(list.patterns().size()),
                list.restIgnored() ? "yes" : "no", timer.elapsed(),
                statusKilobytes("VmHWM") - before);
}

} // namespace

int main()
{
    QTemporaryDir cfg;
    const QString random = cfg.filePath(QStringLiteral("random.ini"));
    const QString lines = cfg.filePath(QStringLiteral("lines.ini"));
    QRandomGenerator generator(16);
    const bool written = writeFile(random,
                                   [&](QByteArray& block) {
                                       generator.fillRange(reinterpret_cast<quint32*>(block.data()),
                                                           block.size() / 4);
                                   }) &&
                         writeFile(lines, [](QByteArray& block) {
                             for (qsizetype i = 0; i < block.size(); i += 2) {
                                 block[i] = 'a';
                                 block[i + 1] = '\n';
                             }
                         });
    if (!written) {
        std::fprintf(stderr, "cannot write the files\n");
        return 1;
    }
    std::printf("resident memory before reading: %ld KB\n", statusKilobytes("VmRSS"));
    measure("random bytes", random);
    measure("100 million short lines", lines);
    return 0;
}
