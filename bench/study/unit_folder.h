// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"
#include "core/study/stamp.h"
#include "core/study/unit_file.h"

#include <QString>

#include <vector>

namespace dictora::bench {

// A Unit as learners keep them: a title row every 20 rows, sentences of
// some 40 characters with a Chinese second line, about a third new and the
// rest studied over the past month at various levels. Every sentence's endMs
// is 0, so the first save after writing fills it in (the file changes).
std::vector<SentenceRow> typicalRows(int rowCount, int seed, TimeValue now);

// Writes `units` Unit files of `rows` rows each into dataFolder (created).
void writeUnitFolder(const QString& dataFolder, int units, int rows, TimeValue now);

// Copies every file of one folder over the files of another.
void copyFolder(const QString& from, const QString& to);

// The process's peak resident memory so far (VmHWM), in megabytes.
double peakMemoryMb();

} // namespace dictora::bench
