// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace dictora {

class StudyPanel;

// Files handed to the program from outside ("Open with Dictora", or
// `dictora FILE...` while it runs): the study screen comes to the front and
// the files go to the open Unit as if they had been dropped on its sentence
// list in Edit mode: the add-content dialog opens with each file chosen.
// Files that are neither text nor media get the drop's refusal; with the
// Sentence Notebook or no Unit open, a tip says where files can be added.
void addHandedFiles(StudyPanel& panel, const QStringList& paths);

} // namespace dictora
