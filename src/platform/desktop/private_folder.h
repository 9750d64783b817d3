// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// A folder that only this user can reach: the place for a lock or a socket
// that no other user may plant, take or listen on.

// Why `path` is no such folder, empty when it is one: it must be a folder
// itself (not a link to one), belong to this user, and give the group and
// others no access at all.
QString privateFolderProblem(const QString& path);

// Makes `path` (its parent must exist) with mode 0700 when nothing is there
// yet, then checks it as above; empty when it is fit for use.
QString makePrivateFolder(const QString& path);

} // namespace dictora
