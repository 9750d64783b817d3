// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/code_page_detection.h"

#include "core/study/legacy_text.h"

#include <QFile>

#include <uchardet/uchardet.h>

#include <iconv.h>

#include <algorithm>
#include <memory>

namespace dictora {

namespace {

// Enough lines to decide on: some hundred lines of subtitles.
constexpr qsizetype kSampleBytes = 16 * 1024;
// A line longer than this is examined by its head.
constexpr qsizetype kLongestLine = 1024 * 1024;
// Bytes above 127 needed before another code page may replace GB18030 for
// text that GB18030 decodes too: about a dozen CJK characters. Below it the
// detector often names a wrong code page (two characters of GB18030 come out
// as ISO-8859-16, three as UTF-8).
constexpr qsizetype kEnoughLegacyBytes = 24;
const QByteArray kDefaultCodePage = QByteArrayLiteral("GB18030");

// Every line of the file that is not valid UTF-8, each ended by a line feed,
// up to kSampleBytes (the file is read in blocks of that size).
QByteArray legacyLines(QFile& file)
{
    QByteArray sample;
    QByteArray pending;
    const auto take = [&](QByteArrayView line) {
        if (!isValidUtf8(line)) {
            sample += line;
            sample += '\n';
        }
    };
    std::unique_ptr<char[]> block(new char[kSampleBytes]);
    while (sample.size() < kSampleBytes) {
        const qint64 got = file.read(block.get(), kSampleBytes);
        if (got <= 0)
            break;
        pending.append(block.get(), qsizetype(got));
        qsizetype start = 0;
        for (qsizetype i = 0; i < pending.size(); ++i) {
            if (pending[i] == '\n' || pending[i] == '\r') {
                take(QByteArrayView(pending).sliced(start, i - start));
                start = i + 1;
            }
        }
        pending.remove(0, start);
        if (pending.size() > kLongestLine) {
            take(QByteArrayView(pending).first(kLongestLine));
            pending.clear();
        }
    }
    if (sample.size() < kSampleBytes)
        take(pending);
    return sample;
}

bool converterKnows(const QByteArray& codePage)
{
    const iconv_t handle = iconv_open("UTF-16LE", codePage.constData());
    if (handle == iconv_t(-1))
        return false;
    iconv_close(handle);
    return true;
}

bool holdsC1Bytes(const QByteArray& sample)
{
    return std::any_of(sample.begin(), sample.end(),
                       [](char c) { return uchar(c) >= 0x80 && uchar(c) <= 0x9F; });
}

// The code page to read the sample in for the detector's answer, or "" when
// the answer is no legacy code page. Files come from Windows systems: the
// Windows code pages stand in for their ISO and JIS/KS/Big5 relatives, whose
// characters they extend; an ISO-8859 answer turns into its Windows
// neighbour when bytes 80-9F (control codes in ISO-8859, letters and
// punctuation in Windows) occur.
QByteArray windowsCodePage(const QByteArray& answer, const QByteArray& sample)
{
    static const struct {
        const char* answer;
        const char* codePage;
        bool onlyWithC1;
    } replacements[] = {
        {"GB2312", "GB18030", false},
        {"GBK", "GB18030", false},
        {"HZ-GB-2312", "GB18030", false},
        {"BIG5", "CP950", false},
        {"SHIFT_JIS", "CP932", false},
        {"EUC-KR", "CP949", false},
        {"UHC", "CP949", false},
        {"ISO-8859-1", "WINDOWS-1252", false},
        {"ISO-8859-15", "WINDOWS-1252", true},
        {"ISO-8859-2", "WINDOWS-1250", true},
        {"ISO-8859-7", "WINDOWS-1253", true},
        {"ISO-8859-9", "WINDOWS-1254", true},
        {"ISO-8859-8", "WINDOWS-1255", true},
        {"ISO-8859-13", "WINDOWS-1257", true},
        {"TIS-620", "CP874", false},
    };
    if (answer.isEmpty() || answer == "ASCII" || answer.startsWith("UTF-") ||
        answer.startsWith("ISO-2022"))
        return {};
    for (const auto& replacement : replacements) {
        if (answer == replacement.answer && (!replacement.onlyWithC1 || holdsC1Bytes(sample)))
            return replacement.codePage;
    }
    return answer;
}

// True when every byte above 127 is part of a pair in the GB2312 block (both
// bytes A1-FE), the simplified Chinese that most GB18030 files hold. Latin
// text in a Windows code page rarely is: an accented letter is followed by a
// plain one ("é" + "t"), which GB18030 would read as a rare character.
bool onlyGb2312Pairs(const QByteArray& sample)
{
    const auto* bytes = reinterpret_cast<const uchar*>(sample.constData());
    for (qsizetype i = 0; i < sample.size(); ++i) {
        if (bytes[i] < 0x80)
            continue;
        if (i + 1 >= sample.size() || bytes[i] < 0xA1 || bytes[i] > 0xF7 || bytes[i + 1] < 0xA1 ||
            bytes[i + 1] > 0xFE)
            return false;
        ++i;
    }
    return true;
}

// Whether the detector named a code page of one byte a character.
bool isSingleByte(const QByteArray& codePage)
{
    return codePage.startsWith("WINDOWS-") || codePage.startsWith("ISO-8859") ||
           codePage.startsWith("KOI8") || codePage.startsWith("IBM") ||
           codePage.startsWith("MAC") || codePage == "CP874" || codePage == "TIS-620" ||
           codePage == "VISCII";
}

qsizetype undecodedBytes(const QByteArray& sample, const QByteArray& codePage)
{
    return decodeAnsiText(QByteArrayView(sample), codePage).count(QChar(0xFFFD));
}

} // namespace

QString basisName(CodePageChoice::Basis basis)
{
    switch (basis) {
    case CodePageChoice::Basis::NotNeeded:
        return QStringLiteral("not needed");
    case CodePageChoice::Basis::Environment:
        return QStringLiteral("DICTORA_CODEPAGE");
    case CodePageChoice::Basis::Detected:
        return QStringLiteral("detected");
    case CodePageChoice::Basis::Unsure:
        return QStringLiteral("unsure");
    }
    return {};
}

CodePageChoice DetectAnsiCodePage(const QString& path)
{
    using Basis = CodePageChoice::Basis;
    CodePageChoice choice;
    choice.codePage = legacyCodePage();
    if (!qgetenv("DICTORA_CODEPAGE").trimmed().isEmpty()) {
        choice.basis = Basis::Environment;
        choice.reason = QStringLiteral("named by DICTORA_CODEPAGE");
        return choice;
    }
    QFile file(path);
    const QByteArray sample = file.open(QIODevice::ReadOnly) ? legacyLines(file) : QByteArray();
    if (sample.isEmpty()) {
        choice.reason = QStringLiteral("every line is UTF-8");
        return choice;
    }
    choice.legacyBytes =
        std::count_if(sample.begin(), sample.end(), [](char c) { return uchar(c) >= 0x80; });

    const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    uchardet_handle_data(detector.get(), sample.constData(), size_t(sample.size()));
    uchardet_data_end(detector.get());
    choice.detectorAnswer = QByteArray(uchardet_get_charset(detector.get())).toUpper();

    choice.basis = Basis::Unsure;
    const QByteArray candidate = windowsCodePage(choice.detectorAnswer, sample);
    if (candidate.isEmpty() || !converterKnows(candidate)) {
        choice.reason = QStringLiteral("the detector named no legacy code page");
        return choice;
    }
    if (candidate == kDefaultCodePage) {
        choice.basis = Basis::Detected;
        choice.reason = QStringLiteral("detected");
        return choice;
    }
    const qsizetype faults = undecodedBytes(sample, candidate);
    if (faults > 0) {
        choice.reason = QStringLiteral("%1 leaves %2 bytes undecoded")
                            .arg(QString::fromLatin1(candidate))
                            .arg(faults);
        return choice;
    }
    // Few bytes that read as GB18030 too: GB18030 stays, unless the detector
    // named a one-byte code page and the bytes do not look like Chinese.
    const bool readsAsChinese = undecodedBytes(sample, kDefaultCodePage) == 0 &&
                                (!isSingleByte(candidate) || onlyGb2312Pairs(sample));
    if (choice.legacyBytes < kEnoughLegacyBytes && readsAsChinese) {
        choice.reason = QStringLiteral("%1 bytes above 127 are too few to tell %2 from GB18030")
                            .arg(choice.legacyBytes)
                            .arg(QString::fromLatin1(candidate));
        return choice;
    }
    choice.codePage = candidate;
    choice.basis = Basis::Detected;
    choice.reason = QStringLiteral("detected");
    return choice;
}

} // namespace dictora
