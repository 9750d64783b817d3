#include "core/study/legacy_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace dictora {

namespace {

std::string legacyCodepage()
{
    const QByteArray named = qgetenv("DICTORA_CODEPAGE");
    return named.isEmpty() ? std::string("GB18030") : named.toStdString();
}

// One converter per thread for the code page in force; reopened when
// DICTORA_CODEPAGE changes.
struct Converter {
    std::string codepage;
    iconv_t handle = iconv_t(-1);

    ~Converter()
    {
        if (handle != iconv_t(-1))
            iconv_close(handle);
    }
    iconv_t get()
    {
        const std::string wanted = legacyCodepage();
        if (handle != iconv_t(-1) && wanted == codepage)
            return handle;
        if (handle != iconv_t(-1))
            iconv_close(handle);
        codepage = wanted;
        handle = iconv_open("UTF-16LE", codepage.c_str());
        if (handle == iconv_t(-1))
            handle = iconv_open("UTF-16LE", "GB18030");
        return handle;
    }
};

QString decodeLegacy(const QByteArray& bytes)
{
    thread_local Converter converter;
    iconv_t cd = converter.get();
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    std::vector<char> out(size_t(bytes.size()) * 4 + 8);
    char* in = const_cast<char*>(bytes.constData());
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
    if (bytes.isEmpty())
        return {};
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeLegacy(bytes);
}

} // namespace dictora
