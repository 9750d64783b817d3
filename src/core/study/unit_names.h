// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// The name of the Sentence Notebook in the unit list, and its file name.
inline const QString kNotebookName = QStringLiteral("生句本");
inline const QString kNotebookFileName = QStringLiteral("生句本.dat");

// The file a Unit is kept in, inside the Data folder: name + ".dat".
QString unitFileName(const QString& name);

// A Unit name must not hold any of / \ : * ? " < > | (it is a file name).
// Empty names, names beginning with "." that the folder scan would never
// list again, and names with control characters (newline, tab, ESC: they
// would break every list and message that shows them) are refused the same way.
bool isAcceptableUnitName(const QString& name);

// The message for a refused name: 单元名不要含有 /\:*?"<>|
QString unitNameMessage();
// The message for a name already taken: name + " 单元名已经存在."
QString unitExistsMessage(const QString& name);

} // namespace dictora
