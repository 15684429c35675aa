#pragma once
// The broadcast voice: the text is read by MeCab, synthesised by espeak-ng's Japanese voice on a
// worker thread and streamed into the mixer's voice channel while the synthesis goes on.
#include "sound/JapaneseReading.h"
#include "sound/Speaker.h"
#include "sound/VoiceSettings.h"

#include <memory>
#include <string>
#include <vector>

// Where the voice's data lies; the defaults are the Debian packages' places.
struct SpeechPaths {
    std::string espeakData; // empty: espeak-ng's own
    std::string mecabDictionary = JapaneseReading::DefaultDictionary;
};

class JapaneseSpeech final : public Speaker {
public:

    // Nullptr when MeCab or espeak-ng's Japanese voice cannot start. Opens the audio device;
    // without one the voice speaks silently. espeak-ng's state is process-wide, so there is one
    // voice at a time, and it goes before audio::close().
    static std::unique_ptr<JapaneseSpeech> create(const VoiceSettings& settings, const SpeechPaths& paths = {});
    ~JapaneseSpeech() override;

    // Stops what is being said and says utf8Text; returns at once.
    void speak(const std::string& utf8Text) override;
    void stopSpeaking() override;
    // 0, or -1 when the last synthesis failed.
    int32_t status() override;
    void useReadings(const std::string& file) override;
    // Whether a text is still being synthesised or its sound still waits for the mixer.
    bool speaking() const;

    VoiceSettings settings() const;
    // From the next text on; a voice that is not one of voices() becomes "ja".
    void setSettings(const VoiceSettings& settings);
    // "ja" and its variants ("ja+f2", "ja+m3", ...).
    const std::vector<std::string>& voices() const;

private:
    struct Impl;
    explicit JapaneseSpeech(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};
