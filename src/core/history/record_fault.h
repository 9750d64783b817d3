// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QSqlError;

namespace dictora {

// What a failed statement on the study record calls for. Only a file SQLite
// itself finds corrupt, or that is no database, is damaged; every other
// failure passes (a lock held by another program, a full disk, a folder
// that cannot be written now), and the answers wait in memory for it.
enum class RecordFault {
    None,
    Busy,       // another connection holds the lock
    Full,       // no room left on the disk (or under the page limit)
    Unwritable, // cannot be opened or written now: rights, I/O, a missing folder
    Damaged,    // corrupt, or not a database
};

RecordFault recordFaultOf(const QSqlError& error);

} // namespace dictora
