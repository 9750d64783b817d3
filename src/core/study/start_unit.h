// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"

#include <QString>
#include <QStringList>

namespace dictora {

// The Unit the learner had open last (never the Sentence Notebook), kept in
// the program folder's Cfg/Start.ini so that the next start opens it again.
// Empty when none was kept.
QString loadLastUnit(const ProgramFolder& folder);
// False when Cfg/Start.ini could not be written.
bool saveLastUnit(const ProgramFolder& folder, const QString& unitName);

// The list position opened at start, over the unit list (position 0 the
// Notebook): the Unit a first start made (firstStartUnit, the welcome Unit)
// when listed; else the Notebook while it has a sentence still to study;
// else the Unit open last when it is listed; else the Notebook.
int startUnitPosition(const QStringList& unitNames, const QString& firstStartUnit,
                      bool notebookHasDue, const QString& lastUnit);

} // namespace dictora
