// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dictora {

// The programs the dictation screensaver lets come in front of it, from
// "Cfg/App.ini": one pattern per line, matched as a piece of a window's
// executable name, class or title. Read once at start-up.
class AllowList {
public:
    // The file has room for this many patterns; later lines are ignored.
    static constexpr int kSlots = 100;
    // A list of programs is a few lines: of a larger file only this much is
    // read, so a damaged or hostile file costs no memory or time to speak of.
    static constexpr qint64 kLargestFile = 1024 * 1024;
    static constexpr int kMostLines = 10000;

    AllowList() = default;
    // Lines of 8-bit text ("ANSI": UTF-8, else the legacy code page), each
    // trimmed and lower-cased; empty lines are skipped. Only the first
    // kMostLines lines are looked at.
    static AllowList fromText(const QByteArray& bytes);
    // A missing or unreadable file, or anything but a regular file, gives an
    // empty list. Reads at most kLargestFile bytes.
    static AllowList load(const QString& path);

    const QStringList& patterns() const { return patterns_; }
    // Whether part of the file was not used: past its first megabyte, past
    // its first 10,000 lines, or patterns beyond the 100 slots.
    bool restIgnored() const { return restIgnored_; }
    // What the learner is told, once, when restIgnored().
    static QString restIgnoredNote();

    // Whether a window may stay in front: one whose class and title are both
    // empty always may; any other when a pattern occurs anywhere in
    // executable + "//" + class + "//" + title, compared without case.
    bool allows(const QString& executableName, const QString& className,
                const QString& title) const;

private:
    QStringList patterns_;
    bool restIgnored_ = false;
};

} // namespace dictora
