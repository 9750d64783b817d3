// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// The study core words its failures in English, for the command-line tool
// and its logs. The windows speak Chinese: this turns such a message into
// the learner's language, phrase by phrase, keeping the paths and names in
// it. A message it does not know comes back as it is.
QString windowMessage(const QString& coreMessage);

} // namespace dictora
