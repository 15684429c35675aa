#pragma once
// The broadcast voice: the text is read by MeCab, synthesised by espeak-ng's Japanese voice on a
// worker thread and pulled by the mix as the voice while the synthesis goes on; a recording's
// mix waits for the synthesis, the live device never does.
#include "sound/JapaneseReading.h"
#include "sound/Speaker.h"
#include "sound/VoiceSettings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The status of the announcement being spoken, 0 or -1 when its synthesis failed: a failure
// belongs to its own announcement and says nothing about the next one, nor does a cancelled one.
class AnnouncementStatus {
public:
    void begin(uint64_t job) {
        job_ = job;
        value_ = 0;
    }
    void end(uint64_t job, bool ok) {
        if (job == job_) value_ = ok ? 0 : -1;
    }
    int32_t value() const { return value_; }

private:
    uint64_t job_ = 0;
    int32_t value_ = 0;
};

// Where the voice's data lies; the defaults are the Debian packages' places.
struct SpeechPaths {
    std::string espeakData; // empty: espeak-ng's own
    std::string mecabDictionary = JapaneseReading::DefaultDictionary;
};

class JapaneseSpeech final : public Speaker {
public:
    // Nullptr when MeCab, espeak-ng's Japanese voice or the audio device cannot start. espeak-ng's
    // state is process-wide, so there is one voice at a time, and it goes before audio::close().
    static std::unique_ptr<JapaneseSpeech> create(const VoiceSettings& settings, const SpeechPaths& paths = {});
    ~JapaneseSpeech() override;

    // Stops what is being said and says utf8Text; returns at once.
    void speak(const std::string& utf8Text) override;
    void stopSpeaking() override;
    // 0, or -1 when the synthesis of the current announcement failed.
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
