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

    AllowList() = default;
    // Lines of 8-bit text ("ANSI": UTF-8, else the legacy code page), each
    // trimmed and lower-cased; empty lines are skipped.
    static AllowList fromText(const QByteArray& bytes);
    // A missing or unreadable file gives an empty list.
    static AllowList load(const QString& path);

    const QStringList& patterns() const { return patterns_; }

    // Whether a window may stay in front: one whose class and title are both
    // empty always may; any other when a pattern occurs anywhere in
    // executable + "//" + class + "//" + title, compared without case.
    bool allows(const QString& executableName, const QString& className,
                const QString& title) const;

private:
    QStringList patterns_;
};

} // namespace dictora
