// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/audio_devices.h"

#include <gst/gst.h>

namespace dictora {

namespace {

GstElement* createFromEnvironment(const char* variable, const char* fallbackFactory, QString* error)
{
    const QByteArray description = qgetenv(variable).trimmed();
    if (description.isEmpty()) {
        GstElement* element = gst_element_factory_make(fallbackFactory, nullptr);
        if (!element && error)
            *error = QStringLiteral("GStreamer element %1 is not installed")
                         .arg(QLatin1String(fallbackFactory));
        return element;
    }
    GError* parseError = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.constData(), TRUE, &parseError);
    if (parseError) {
        if (error)
            *error = QStringLiteral("%1 \"%2\": %3")
                         .arg(QLatin1String(variable), QString::fromUtf8(description),
                              QString::fromUtf8(parseError->message));
        g_error_free(parseError);
        if (bin)
            gst_object_unref(bin);
        return nullptr;
    }
    return bin;
}

bool isStandIn(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory)
        return false;
    const gchar* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    return g_strcmp0(name, "audiotestsrc") == 0 || g_strcmp0(name, "fakesrc") == 0;
}

} // namespace

GstElement* createAudioSink(QString* error)
{
    return createFromEnvironment("DICTORA_AUDIO_SINK", "autoaudiosink", error);
}

GstElement* createAudioSource(QString* error)
{
    return createFromEnvironment("DICTORA_AUDIO_SOURCE", "autoaudiosrc", error);
}

bool audioSourceIsSystemDefault()
{
    return qgetenv("DICTORA_AUDIO_SOURCE").trimmed().isEmpty();
}

bool isSilentStandInSource(GstElement* source)
{
    if (!source)
        return false;
    if (isStandIn(source))
        return true;
    if (!GST_IS_BIN(source))
        return false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(source));
    GValue item = G_VALUE_INIT;
    bool found = false;
    bool done = false;
    while (!done && !found) {
        switch (gst_iterator_next(it, &item)) {
        case GST_ITERATOR_OK:
            found = isStandIn(GST_ELEMENT(g_value_get_object(&item)));
            g_value_reset(&item);
            break;
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(it);
            break;
        default:
            done = true;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

} // namespace dictora
