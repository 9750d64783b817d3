// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/export/package_archive.h"

#include "core/study/file_replacement.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <zip.h>

#include <cstdio>

namespace dictora {

namespace {

QString zipErrorText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// The archive's bytes, kept by the buffer source it was written to.
bool readBuffer(zip_source_t* buffer, QByteArray* bytes, QString* error)
{
    if (zip_source_open(buffer) < 0) {
        *error = zipErrorText(zip_source_error(buffer));
        return false;
    }
    bool ok = zip_source_seek(buffer, 0, SEEK_END) == 0;
    const zip_int64_t size = ok ? zip_source_tell(buffer) : -1;
    ok = size >= 0 && zip_source_seek(buffer, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(qsizetype(size));
        ok = zip_source_read(buffer, bytes->data(), zip_uint64_t(size)) == size;
    }
    if (!ok)
        *error = zipErrorText(zip_source_error(buffer));
    zip_source_close(buffer);
    return ok;
}

// Packs the members into memory; false with error naming the first failure.
bool pack(const QList<ArchiveMember>& members, QByteArray* bytes, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError) : nullptr;
    if (!archive) {
        *error = zipErrorText(&zipError);
        zip_error_fini(&zipError);
        if (buffer)
            zip_source_free(buffer);
        return false;
    }
    zip_error_fini(&zipError);
    zip_source_keep(buffer); // read back after the archive is closed
    const auto fail = [&](const QString& why) {
        *error = why;
        zip_discard(archive);
        zip_source_free(buffer);
        return false;
    };
    for (const ArchiveMember& member : members) {
        // The file is read when the archive is closed; 0 reads it to its end.
        zip_source_t* file =
            zip_source_file(archive, QFile::encodeName(member.sourcePath).constData(), 0, 0);
        if (!file)
            return fail(
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(member.sourcePath),
                                             QString::fromLocal8Bit(zip_strerror(archive))));
        const zip_int64_t index =
            zip_file_add(archive, member.name.toUtf8().constData(), file, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(file);
            return fail(QString::fromLocal8Bit(zip_strerror(archive)));
        }
        if (!member.compress &&
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) < 0)
            return fail(QString::fromLocal8Bit(zip_strerror(archive)));
    }
    if (zip_close(archive) < 0)
        return fail(QString::fromLocal8Bit(zip_strerror(archive)));
    const bool read = readBuffer(buffer, bytes, error);
    zip_source_free(buffer);
    return read;
}

} // namespace

bool writeArchive(const QString& path, const QList<ArchiveMember>& members, QString* error)
{
    QByteArray bytes;
    QString why;
    if (!pack(members, &bytes, &why)) {
        *error = QStringLiteral("cannot pack %1: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    const WriteOutcome written = replaceFileName(path, bytes);
    if (!written.ok)
        *error = written.error;
    return written.ok;
}

} // namespace dictora
