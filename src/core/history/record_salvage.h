// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/study_record.h"

namespace dictora {

// The answers that can still be read from a damaged study record at path,
// in the order they were given. The table is read by row number, past any
// index, and a page that cannot be read is stepped over: the rows on the
// pages that read are kept. A file that is no database gives none.
QList<AnswerEntry> readableAnswers(const QString& path);

} // namespace dictora
