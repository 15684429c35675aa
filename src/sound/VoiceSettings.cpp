#include "sound/VoiceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

QString voiceSettingsFile(const QString& settingsFile) {
    const QFileInfo info(settingsFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".voice"));
}

VoiceSettings loadVoiceSettings(const QString& file) {
    const QSettings ini(file, QSettings::IniFormat);
    const auto number = [&](const char* key, int fallback, VoiceSettings::Range range) {
        return std::clamp(ini.value(QLatin1String(key), fallback).toInt(), range.min, range.max);
    };
    VoiceSettings s; // the defaults stand for what the file lacks
    s.voice = ini.value(QStringLiteral("voice"), QString::fromStdString(s.voice)).toString().toStdString();
    s.rate = number("rate", s.rate, VoiceSettings::RateRange);
    s.pitch = number("pitch", s.pitch, VoiceSettings::PitchRange);
    s.volume = number("volume", s.volume, VoiceSettings::VolumeRange);
    return s;
}

bool saveVoiceSettings(const QString& file, const VoiceSettings& settings) {
    QSettings ini(file, QSettings::IniFormat);
    ini.setValue(QStringLiteral("voice"), QString::fromStdString(settings.voice));
    ini.setValue(QStringLiteral("rate"), settings.rate);
    ini.setValue(QStringLiteral("pitch"), settings.pitch);
    ini.setValue(QStringLiteral("volume"), settings.volume);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
