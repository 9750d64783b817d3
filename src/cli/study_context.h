// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/stamp.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"

#include <QString>
#include <QStringList>

namespace dictora::cli {

// What the study commands share: the program folder (from --home DIR, else
// the program's own rule), the time (--now YYYYmmddHHMMSS, else the clock),
// and a unit library over them, as the program would hold it.
struct StudyContext {
    ProgramFolder folder;
    StudyState state;
    SentenceTable table;
    UnitLibrary library;
    QStringList failures; // saveFailed messages, in order

    explicit StudyContext(ProgramFolder programFolder, TimeValue now);
};

// The program folder a --home DIR value names; without one, the program's own
// rule finds it. Nothing is created.
ProgramFolder programFolderFor(const QString& home);
// Takes --home DIR out of args and finds the program folder; its data
// folders are created when missing, as start-up does.
ProgramFolder takeProgramFolder(QStringList& args);
// Takes --now YYYYmmddHHMMSS out of args (14 digits, local time), else the
// current time.
TimeValue takeNow(QStringList& args);
// Any argument left over is bad input.
void expectNoMoreArguments(const QStringList& args);
// A non-negative integer argument, else a UsageError naming what it is.
int parseIndex(const QString& text, const QString& what);

// The language of the sentences of the Unit called name (ISO 639-1, as
// languageOfRows tells it), read without opening the Unit; empty when there
// is no such Unit yet.
QString unitLanguage(const ProgramFolder& folder, const QString& name);

// Why the Unit called name exists but cannot be read (one line), or empty.
QString unreadableUnitReason(const StudyContext& context, const QString& name);
// Opens the listed Unit called name, or throws a UsageError.
void openListedUnit(StudyContext& context, const QString& name);

} // namespace dictora::cli
