// SPDX-License-Identifier: GPL-3.0-or-later
#include "unit_folder.h"

#include <QDir>
#include <QFile>

#include <fstream>
#include <string>

namespace dictora::bench {

std::vector<SentenceRow> typicalRows(int rowCount, int seed, TimeValue now)
{
    std::vector<SentenceRow> rows;
    rows.reserve(size_t(rowCount));
    uint32_t random = uint32_t(seed) * 2654435761u + 1;
    const auto next = [&random] {
        random = random * 1103515245u + 12345u;
        return random >> 8;
    };
    uint32_t start = 0;
    for (int r = 0; r < rowCount; ++r) {
        if (r % 20 == 0) {
            SentenceRow title = makeTitleRow(QStringLiteral("Lesson %1").arg(r / 20 + 1));
            title[StudiedAt] = kDefaultStampText;
            title[MediaPath] = QStringLiteral("..");
            title[MediaName] = QStringLiteral("lesson%1.mp3").arg(r / 20 + 1);
            title[MediaLengthMs] = QStringLiteral("95000");
            rows.push_back(std::move(title));
            start = 0;
            continue;
        }
        SentenceRow row = makeSentenceRow();
        start += 1500 + next() % 3000;
        row[StartMs] = QString::number(start);
        row[EndMs] = QStringLiteral("0");
        row[Text] =
            QStringLiteral("Sentence %1 of the unit, spoken clearly: %2.").arg(r).arg(next());
        row[Text2] = QStringLiteral("第%1句的中文翻译，写在第二行。").arg(r);
        if (next() % 3 == 0) {
            row[Done] = row[Level] = QStringLiteral("0");
            row[StudiedAt] = kDefaultStampText;
        } else {
            row[Done] = QStringLiteral("1");
            row[Level] = QString::number(1 + next() % 8);
            row[StudiedAt] = FormatStamp(now - TimeValue(next() % (30 * 86400)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void writeUnitFolder(const QString& dataFolder, int units, int rows, TimeValue now)
{
    QDir().mkpath(dataFolder);
    for (int u = 0; u < units; ++u) {
        const QByteArray bytes = encodeUnit(kNewUnitHeader, typicalRows(rows, u, now), false);
        QFile file(
            QDir(dataFolder).filePath(QStringLiteral("Unit %1.dat").arg(u, 3, 10, QChar(u'0'))));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

void copyFolder(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files)) {
        const QString target = QDir(to).filePath(name);
        QFile::remove(target);
        QFile::copy(source.filePath(name), target);
    }
}

double peakMemoryMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0; // kB
    return -1;
}

} // namespace dictora::bench
