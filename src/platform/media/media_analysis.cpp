// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/media_analysis.h"

#include "platform/media/loudness_meter.h"

#include <QCryptographicHash>
#include <QSettings>

namespace dictora {

namespace {

QString iniGroup(const QString& key)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

MediaAnalysis::MediaAnalysis(QString cfgFolder, QObject* parent)
    : QObject(parent), cfgFolder_(std::move(cfgFolder))
{
    worker_ = std::thread([this] { work(); });
}

MediaAnalysis::~MediaAnalysis()
{
    {
        QMutexLocker lock(&mutex_);
        stopping_ = true;
        wake_.wakeAll();
    }
    worker_.join();
}

std::optional<Loudness> MediaAnalysis::loudness(const QString& path)
{
    QMutexLocker lock(&mutex_);
    const Known* known = lookUp(path);
    return known ? known->loudness : std::nullopt;
}

std::shared_ptr<const WaveformPeaks> MediaAnalysis::peaks(const QString& path)
{
    QMutexLocker lock(&mutex_);
    const Known* known = lookUp(path);
    return known ? known->peaks : nullptr;
}

void MediaAnalysis::waitIdle()
{
    QMutexLocker lock(&mutex_);
    while (busy_ || !queue_.isEmpty())
        idle_.wait(&mutex_);
}

const MediaAnalysis::Known* MediaAnalysis::lookUp(const QString& path)
{
    const QString key = mediaFileKey(path);
    if (key.isEmpty())
        return nullptr;
    auto found = known_.find(path);
    if (found != known_.end() && found->key == key)
        return &*found;
    // New, or changed since: what the disk caches hold for this very file.
    Known entry;
    entry.key = key;
    entry.loudness = readStoredLoudness(key);
    if (std::optional<WaveformPeaks> cached =
            readCachedPeaks(cfgFolder_ + QStringLiteral("Peaks"), path))
        entry.peaks = std::make_shared<const WaveformPeaks>(std::move(*cached));
    found = known_.insert(path, entry);
    if ((!entry.loudness || !entry.peaks) && !queue_.contains(path)) {
        queue_.append(path);
        wake_.wakeAll();
    }
    return &*found;
}

void MediaAnalysis::work()
{
    QMutexLocker lock(&mutex_);
    while (!stopping_) {
        if (queue_.isEmpty()) {
            idle_.wakeAll();
            wake_.wait(&mutex_);
            continue;
        }
        const QString path = queue_.takeFirst();
        const QString key = known_.value(path).key;
        busy_ = true;
        lock.unlock();
        analyse(path, key);
        lock.relock();
        busy_ = false;
    }
    idle_.wakeAll();
}

void MediaAnalysis::analyse(const QString& path, const QString& key)
{
    // Each result is published as soon as it is there: the waveform first,
    // which a learner waits for on screen; the loudness by the next play.
    auto publish = [&](auto&& set) {
        QMutexLocker lock(&mutex_);
        auto found = known_.find(path);
        // The file may have changed while it was decoded; that change is
        // analysed the next time it is asked for.
        if (found == known_.end() || found->key != key)
            return false;
        set(*found);
        return true;
    };
    QString error;
    bool needPeaks = false;
    bool needLoudness = false;
    publish([&](Known& known) {
        needPeaks = !known.peaks;
        needLoudness = !known.loudness;
    });
    if (needPeaks) {
        if (std::optional<WaveformPeaks> decoded = decodePeaks(path, &error, &stopping_)) {
            auto peaks = std::make_shared<const WaveformPeaks>(std::move(*decoded));
            // A cache that cannot be written only costs a decode next time.
            writeCachedPeaks(cfgFolder_ + QStringLiteral("Peaks"), path, *peaks);
            if (publish([&](Known& known) { known.peaks = peaks; }))
                emit analysed(path);
        } else {
            if (!stopping_)
                qWarning("media analysis: %s", qPrintable(error));
            publish([](Known& known) { known.failed = true; });
            return;
        }
    }
    if (needLoudness && !stopping_) {
        if (const std::optional<Loudness> measured = measureLoudness(path, &error, &stopping_,
                                                                    TruePeakScope::WhereItLimits)) {
            storeLoudness(key, *measured);
            if (publish([&](Known& known) { known.loudness = measured; }))
                emit analysed(path);
        } else if (!stopping_) {
            qWarning("media analysis: %s", qPrintable(error));
            publish([](Known& known) { known.failed = true; });
        }
    }
}

std::optional<Loudness> MediaAnalysis::readStoredLoudness(const QString& key) const
{
    const QSettings ini(cfgFolder_ + QStringLiteral("Loudness.ini"), QSettings::IniFormat);
    const QString group = iniGroup(key) + u'/';
    if (ini.value(group + QStringLiteral("Key")).toString() != key)
        return std::nullopt;
    bool okI = false;
    bool okP = false;
    Loudness l;
    l.integratedLufs = ini.value(group + QStringLiteral("IntegratedLufs")).toString().toDouble(&okI);
    l.truePeakDbtp = ini.value(group + QStringLiteral("TruePeakDbtp")).toString().toDouble(&okP);
    // Figures no measurement gives (a damaged or hand-edited file) are
    // not trusted: the file is measured again.
    if (!okI || !okP || !couldBeMeasured(l))
        return std::nullopt;
    l.truePeakComplete = ini.value(group + QStringLiteral("TruePeakComplete"), true).toBool();
    return l;
}

void MediaAnalysis::storeLoudness(const QString& key, const Loudness& loudness) const
{
    // One writer: only the worker thread stores.
    QSettings ini(cfgFolder_ + QStringLiteral("Loudness.ini"), QSettings::IniFormat);
    const QString group = iniGroup(key) + u'/';
    ini.setValue(group + QStringLiteral("Key"), key);
    ini.setValue(group + QStringLiteral("IntegratedLufs"), QString::number(loudness.integratedLufs, 'g', 10));
    ini.setValue(group + QStringLiteral("TruePeakDbtp"), QString::number(loudness.truePeakDbtp, 'g', 10));
    ini.setValue(group + QStringLiteral("TruePeakComplete"), loudness.truePeakComplete);
    ini.sync();
}

} // namespace dictora
