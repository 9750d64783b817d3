// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora::test {

// Makes sure GStreamer and a QCoreApplication (for queued deliveries) exist.
void ensureMediaRuntime();

// Runs a gst-launch-1.0 style description to its end; false when it does not
// parse, posts an error or has not ended after timeoutSeconds.
bool runPipeline(const QString& description, int timeoutSeconds = 60);

} // namespace dictora::test
