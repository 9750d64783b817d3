#include "core/study/legacy_text.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace dictora {

namespace {

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)decoder.decode(bytes);
    return !decoder.hasError();
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
