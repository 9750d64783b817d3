// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/text_decoding.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace dictora {

// The lines of one open text file, trimmed, as every parser reads them.
class TextLineSource {
public:
    TextLineSource(QIODevice& file, const QString& label, const QByteArray& codePage)
        : file_(file), label_(label), codePage_(codePage)
    {
    }

    // The next line with white space trimmed at both ends; false at the end.
    bool next(QString& trimmed)
    {
        if (!ReadTextLine(file_, label_, line_, codePage_))
            return false;
        trimmed = std::move(line_).trimmed();
        return true;
    }

private:
    QIODevice& file_;
    const QString label_;
    const QByteArray codePage_;
    QString line_;
};

} // namespace dictora
