// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/record_fault.h"

#include <QSqlError>

namespace dictora {

namespace {

// SQLite's primary result codes; an extended code keeps its primary one in
// the low byte.
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kCorrupt = 11;
constexpr int kFull = 13;
constexpr int kNotADatabase = 26;

} // namespace

RecordFault recordFaultOf(const QSqlError& error)
{
    if (!error.isValid())
        return RecordFault::None;
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    if (numeric && code != 0) {
        switch (code) {
        case kBusy:
        case kLocked:
            return RecordFault::Busy;
        case kFull:
            return RecordFault::Full;
        case kCorrupt:
        case kNotADatabase:
            return RecordFault::Damaged;
        default:
            return RecordFault::Unwritable;
        }
    }
    // The driver leaves the code out of a few of its own messages (a failed
    // BEGIN or COMMIT); SQLite's words for the same codes are fixed.
    const QString text = error.databaseText();
    if (text.contains(QLatin1String("locked")) || text.contains(QLatin1String("busy")))
        return RecordFault::Busy;
    if (text.contains(QLatin1String("is full")))
        return RecordFault::Full;
    if (text.contains(QLatin1String("malformed")) || text.contains(QLatin1String("not a database")))
        return RecordFault::Damaged;
    return RecordFault::Unwritable;
}

} // namespace dictora
