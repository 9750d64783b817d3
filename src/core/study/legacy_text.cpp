// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/legacy_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace dictora {

namespace {

// One converter per code page a thread has used (rarely more than two: the
// default and one detected for an imported file), opened on first use.
struct Converter {
    QByteArray codePage;
    iconv_t handle = iconv_t(-1);
};

struct Converters {
    std::vector<Converter> open;

    ~Converters()
    {
        for (const Converter& converter : open)
            if (converter.handle != iconv_t(-1))
                iconv_close(converter.handle);
    }
    iconv_t get(const QByteArray& codePage)
    {
        for (const Converter& converter : open)
            if (converter.codePage == codePage)
                return converter.handle;
        iconv_t handle = iconv_open("UTF-16LE", codePage.constData());
        if (handle == iconv_t(-1))
            handle = iconv_open("UTF-16LE", "GB18030");
        open.push_back({codePage, handle});
        return handle;
    }
};

QString decodeLegacy(QByteArrayView bytes, const QByteArray& codePage)
{
    thread_local Converters converters;
    iconv_t cd = converters.get(codePage.isEmpty() ? legacyCodePage() : codePage);
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    std::vector<char> out(size_t(bytes.size()) * 4 + 8);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four bytes out per byte in is plenty
        // An invalid or incomplete sequence: one replacement character for
        // the offending byte, then carry on after it.
        const char16_t replacement = 0xFFFD;
        if (outLeft < 2)
            break;
        std::memcpy(outPtr, &replacement, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    const size_t produced = size_t(outPtr - out.data());
    return QString(reinterpret_cast<const QChar*>(out.data()), qsizetype(produced / 2));
}

} // namespace

QByteArray legacyCodePage()
{
    const QByteArray named = qgetenv("DICTORA_CODEPAGE").trimmed();
    return named.isEmpty() ? QByteArrayLiteral("GB18030") : named;
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        uchar low = 0x80, high = 0xBF; // range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong
            else if (lead == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (n - i < length || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        }
        i += length;
    }
    return true;
}

QString decodeAnsiText(const QByteArray& bytes)
{
    return decodeAnsiText(QByteArrayView(bytes), {});
}

QString decodeAnsiText(QByteArrayView bytes, const QByteArray& codePage)
{
    if (bytes.isEmpty())
        return {};
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeLegacy(bytes, codePage);
}

} // namespace dictora
