// Feeds arbitrary bytes to the voice-settings reader as a file: it may not crash, every number
// it returns lies in its range, and what it returns saves and loads back unchanged.
#include "sound/VoiceSettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

bool inRange(int v, VoiceSettings::Range r) { return v >= r.min && v <= r.max; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir dir;
    // Qt keeps the files it has read by name, size and time: a fresh name for each input.
    static int n = 0;
    const QString file = dir.filePath(QString::number(++n) + QStringLiteral(".voice"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const VoiceSettings s = loadVoiceSettings(file);
    QFile::remove(file);
    if (!inRange(s.rate, VoiceSettings::RateRange) || !inRange(s.pitch, VoiceSettings::PitchRange) ||
        !inRange(s.volume, VoiceSettings::VolumeRange))
        std::abort();
    const QString copy = file + QStringLiteral(".saved");
    if (!saveVoiceSettings(copy, s) || loadVoiceSettings(copy) != s) std::abort();
    QFile::remove(copy);
    return 0;
}
