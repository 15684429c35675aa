#pragma once
// How the voice speaks: an espeak-ng Japanese voice and its speed, pitch and volume. They live
// in a small file of their own beside the settings file, whose layout has no room for them.
#include <QString>

#include <string>

struct VoiceSettings {
    struct Range {
        int min, max;
    };
    static constexpr Range RateRange{80, 450}; // words per minute, as espeak-ng counts them
    static constexpr Range PitchRange{0, 100};
    static constexpr Range VolumeRange{0, 200}; // 100 is espeak-ng's normal loudness

    std::string voice = "ja"; // "ja" or a variant such as "ja+f2"
    int rate = 150;           // announcements go slower than espeak-ng's 175
    int pitch = 50;
    int volume = 100;
    bool operator==(const VoiceSettings&) const = default;
};

// "<folder>/<base>.voice" beside the settings file "<folder>/<base>.in4".
QString voiceSettingsFile(const QString& settingsFile);
// The defaults for a missing file or key; values out of range are brought within it.
VoiceSettings loadVoiceSettings(const QString& file);
bool saveVoiceSettings(const QString& file, const VoiceSettings& settings);
