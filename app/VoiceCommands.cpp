#include "app/VoiceCommands.h"

#include "fare/FareEngine.h"
#include "settings/mdlIniIo.h"
#include "sound/AudioDevice.h"
#include "sound/mdlM_Tape.h"

#include <QScopeGuard>

#include <chrono>
#include <cstdio>
#include <thread>

std::string broadcastReadingsFile(const QString& settingsFile, const std::string& sampleFolder) {
    const settings::Loaded loaded = settings::loadFile(settingsFile);
    if (const auto* error = std::get_if<CodedError>(&loaded))
        std::fprintf(stderr, "%s: %s\n", qPrintable(settingsFile), qPrintable(settings::errorMessage(*error)));
    const auto* record = std::get_if<SettingsRecord>(&loaded);
    return readingsFileIn(
        fare::dataFolder(record ? record->Options.TapeDataDir : OptionInfo{}.TapeDataDir, sampleFolder));
}

int printReading(const QString& text, const std::string& readingsFile, const SpeechPaths& paths) {
    const auto reading = JapaneseReading::create(paths.mecabDictionary);
    if (!reading) {
        std::fprintf(stderr, "読みを作れません: MeCab が辞書 %s を読み込めません\n", paths.mecabDictionary.c_str());
        return 1;
    }
    reading->useReadingsFile(readingsFile);
    std::printf("%s\n", reading->katakana(text.toStdString()).c_str());
    return 0;
}

int sayAloud(const QString& text, const std::string& readingsFile, const QString& voiceFile, const SpeechPaths& paths) {
    using namespace std::chrono_literals;
    // The voice opens the device; it closes after the voice, before the statics its thread reads.
    const auto closeAudio = qScopeGuard(audio::close);
    const auto voice = JapaneseSpeech::create(loadVoiceSettings(voiceFile), paths);
    if (!voice) {
        std::fprintf(stderr, "読み上げられません: MeCab（辞書 %s）、espeak-ng の日本語音声か音の出力が使えません\n",
                     paths.mecabDictionary.c_str());
        return 1;
    }
    voice->useReadings(readingsFile);
    voice->speak(text.toStdString());
    while (voice->speaking()) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(200ms); // what the mixer still holds reaches the device
    if (voice->status() == -1) {
        std::fprintf(stderr, "読み上げに失敗しました\n");
        return 1;
    }
    return 0;
}
