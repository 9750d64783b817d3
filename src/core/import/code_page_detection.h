// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace dictora {

// Which legacy code page the "ANSI" lines of a text file that are not UTF-8
// are read in, and how that was decided.
struct CodePageChoice {
    enum class Basis {
        NotNeeded,   // every line is UTF-8 (or the file is empty or unreadable)
        Environment, // DICTORA_CODEPAGE names it
        Detected,    // the detector named it and enough text agrees
        Unsure,      // the detector was unsure: the default, GB18030, stands
    };
    QByteArray codePage; // an iconv name; the default when not detected
    Basis basis = Basis::NotNeeded;
    QByteArray detectorAnswer; // what the detector said, "" when nothing
    qsizetype legacyBytes = 0; // bytes above 127 in the lines examined
    QString reason;            // one line for the learner, in English
};

// Looks at the lines of the file that are not valid UTF-8 (up to a sample of
// 64 KB of them) and asks uchardet which legacy code page they are in. The
// detector's answer is taken only when it decodes every sampled byte, and,
// when they read as Chinese in GB18030 too, only on enough text to tell the
// two apart; otherwise GB18030 stays, so every file that read right before
// detection existed reads the same. DICTORA_CODEPAGE, when set, decides
// without detection.
CodePageChoice DetectAnsiCodePage(const QString& path);

// "not needed", "DICTORA_CODEPAGE", "detected" or "unsure".
QString basisName(CodePageChoice::Basis basis);

} // namespace dictora
