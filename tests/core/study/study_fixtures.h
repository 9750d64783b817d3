// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"
#include "core/study/stamp.h"
#include "support/print_qstring.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdlib>
#include <ostream>
#include <ctime>
#include <string>

namespace dictora::test {

// Sets TZ for the life of the object (and tzset), so stamps and day
// boundaries are those of a known zone whatever the machine says.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_)
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool hadOld_ = false;
    std::string old_;
};

// Local time of a "%Y%m%d%H%M%S" stamp.
inline TimeValue at(const char* stamp)
{
    return ParseStamp(QString::fromLatin1(stamp));
}

inline SentenceRow sentence(const QString& text, const QString& done = "0",
                            const QString& level = "0",
                            const QString& studiedAt = kDefaultStampText)
{
    SentenceRow row = makeSentenceRow();
    row[StartMs] = row[EndMs] = "0";
    row[Text] = text;
    row[Done] = done;
    row[Level] = level;
    row[StudiedAt] = studiedAt;
    return row;
}

inline SentenceRow title(const QString& name)
{
    SentenceRow row = makeTitleRow(name);
    row[StudiedAt] = kDefaultStampText;
    return row;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace dictora::test
