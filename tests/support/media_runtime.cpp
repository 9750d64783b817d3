// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media_runtime.h"

#include <QCoreApplication>

#include <gst/gst.h>

#include <cerrno>
#include <cstdio>

namespace dictora::test {

void ensureMediaRuntime()
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    if (!QCoreApplication::instance()) {
        // Named after the running test program, as its own argv[0] would be.
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

bool runPipeline(const QString& description, int timeoutSeconds)
{
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        std::fprintf(stderr, "pipeline: %s\n", error->message);
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, timeoutSeconds * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

} // namespace dictora::test
