// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/flashcard_identity.h"

#include "core/export/flashcard_export.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace dictora {

namespace {

QByteArray sha1Hex(const QStringList& parts)
{
    // Each part is followed by a separator no text holds, so that ("ab", "c")
    // and ("a", "bc") differ.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& part : parts) {
        hash.addData(part.toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    }
    return hash.result().toHex();
}

} // namespace

QString noteGuid(const QString& unitName, const QString& sentencePlace)
{
    return QString::fromLatin1(
        sha1Hex({QStringLiteral("dictora-note"), unitName, sentencePlace}).left(16));
}

QString clipMediaName(const QString& unitName, const QStringList& parts)
{
    // The media folder is shared by every deck, and a name ends a sound tag
    // at "]": keep the name to letters, digits and a few safe marks.
    QString unit = safeFileName(unitName);
    for (QChar& c : unit)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'.')
            c = u'_';
    if (unit.size() > 40) {
        unit.truncate(40);
        if (unit.back().isHighSurrogate())
            unit.chop(1);
    }
    const QByteArray hash = sha1Hex(QStringList{QStringLiteral("dictora-clip"), unitName} + parts);
    return QStringLiteral("dictora-%1-%2.ogg").arg(unit, QString::fromLatin1(hash.left(12)));
}

qint64 stableId(const QString& name)
{
    const QByteArray hex = sha1Hex({QStringLiteral("dictora-id"), name}).left(13); // 52 bits
    return qint64(hex.toULongLong(nullptr, 16)) + 1;
}

QString htmlFieldText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += u' ';
        else
            out += c;
    }
    return out;
}

QString strippedFieldText(const QString& html)
{
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<.*?>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    QString text = html;
    text.remove(comment).remove(tag);
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

qint64 fieldChecksum(const QString& html)
{
    const QByteArray digest =
        QCryptographicHash::hash(strippedFieldText(html).toUtf8(), QCryptographicHash::Sha1)
            .toHex();
    return qint64(digest.left(8).toULongLong(nullptr, 16));
}

} // namespace dictora
