#include "core/study/legacy_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace dictora {

namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int more;
        uint32_t code;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (p[i] & 0x3F);
        }
        p += more;
        if ((more == 2 && code < 0x800) || (more == 3 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

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
    QString text;
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
    text = QString(reinterpret_cast<const QChar*>(out.data()), qsizetype(produced / 2));
    return text;
}

} // namespace

QString decodeAnsiText(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeLegacy(bytes);
}

} // namespace dictora
