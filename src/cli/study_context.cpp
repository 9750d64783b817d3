// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/study_context.h"

#include "cli/cli_command.h"

#include "core/import/sentence_language.h"
#include "core/study/unit_file.h"
#include "core/study/unit_names.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace dictora::cli {

StudyContext::StudyContext(ProgramFolder programFolder, TimeValue now)
    : folder(std::move(programFolder)), library(folder, state, table)
{
    state.now = QDateTime::fromSecsSinceEpoch(now);
    QObject::connect(&library, &UnitLibrary::saveFailed,
                     [this](const QString& message) { failures << message; });
    QObject::connect(&library, &UnitLibrary::unitFileUnreadable,
                     [this](const QString& message) { failures << message; });
    // Told at once, whatever the command goes on to do.
    QObject::connect(&library, &UnitLibrary::damagedUnitKept, [](const DamagedUnit& damaged) {
        printError(QStringLiteral("dictora-cli: ") + damagedUnitNotice(damaged));
    });
}

QString unreadableUnitReason(const StudyContext& context, const QString& name)
{
    const QString path = context.library.unitPath(name);
    QFile file(path);
    const QString missing = missingLinkTarget(path);
    if (!missing.isEmpty())
        return QStringLiteral("the Unit file %1 cannot be read: %2")
            .arg(QDir::toNativeSeparators(path), brokenLinkReason(missing));
    if (!QFileInfo::exists(path) || file.open(QIODevice::ReadOnly))
        return {};
    return QStringLiteral("the Unit file %1 cannot be read: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
}

ProgramFolder programFolderFor(const QString& home)
{
    if (home.isEmpty())
        return locateProgramFolder(QCoreApplication::applicationDirPath());
    return ProgramFolder{withTrailingSlash(QDir(home).absolutePath())};
}

ProgramFolder takeProgramFolder(QStringList& args)
{
    const ProgramFolder folder = programFolderFor(takeOption(args, QStringLiteral("--home")));
    // A Cfg folder made here gets the default cues, as Dictora gives its
    // own: otherwise a learner who used dictora-cli first would study
    // without sounds.
    prepareDataFolders(folder, QStringLiteral(":/Cfg/"));
    if (!QFileInfo(folder.dataFolder()).isDir())
        throw UsageError{QStringLiteral("%1 is not a folder").arg(folder.dataFolder())};
    return folder;
}

TimeValue takeNow(QStringList& args)
{
    const QString text = takeOption(args, QStringLiteral("--now"));
    if (text.isEmpty())
        return QDateTime::currentSecsSinceEpoch();
    static const QRegularExpression stamp(QStringLiteral("^\\d{14}$"));
    if (!stamp.match(text).hasMatch())
        throw UsageError{QStringLiteral("--now wants YYYYmmddHHMMSS, not '%1'").arg(text)};
    return ParseStamp(text);
}

void expectNoMoreArguments(const QStringList& args)
{
    if (!args.isEmpty())
        throw UsageError{QStringLiteral("unexpected argument '%1'").arg(args.first())};
}

int parseIndex(const QString& text, const QString& what)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        throw UsageError{QStringLiteral("%1 must be a number from 0, not '%2'").arg(what, text)};
    return value;
}

QString unitLanguage(const ProgramFolder& folder, const QString& name)
{
    const QString path = folder.dataFolder() + unitFileName(name);
    if (!QFileInfo(path).isFile())
        return {};
    return languageOfRows(readUnitFile(path, name == kNotebookName).rows);
}

void openListedUnit(StudyContext& context, const QString& name)
{
    context.library.listDataFolder();
    const int position = context.library.positionOf(name);
    if (position < 0) {
        const QString unreadable = unreadableUnitReason(context, name);
        if (!unreadable.isEmpty())
            throw UsageError{unreadable};
        throw UsageError{
            QStringLiteral("no Unit named '%1' in %2").arg(name, context.folder.dataFolder())};
    }
    if (!context.library.OpenUnit(position))
        throw UsageError{context.library.lastError()};
}

} // namespace dictora::cli
