#include "sound/JapaneseSpeech.h"

#include "sound/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// espeak-ng 1.51 asks pcaudiolib for a PulseAudio or ALSA output even in synchronous mode,
// though every sample comes to our callback and goes out through SDL. That output is never
// written, but opening it prints ALSA errors and maps a 64 MiB PulseAudio pool (killed by
// SIGXFSZ under a low `ulimit -f`). This definition, found before the library's, opens nothing.
extern "C" struct audio_object* create_audio_device_object(const char*, const char*, const char*) { return nullptr; }

namespace {

// espeak-ng hands over its PCM in pieces this long, so playing starts after the first piece.
constexpr int PieceMs = 20;
// The synthesis keeps this far ahead of the mixer and waits there: it runs many times faster
// than speech, and minutes of sound made at once would take hundreds of megabytes.
constexpr int AheadMs = 2000;

std::vector<std::string> japaneseVoices() {
    std::vector<std::string> voices{"ja"};
    espeak_VOICE variants{};
    variants.languages = "variant";
    for (const espeak_VOICE** v = espeak_ListVoices(&variants); *v; ++v) {
        const std::string id = (*v)->identifier; // "!v/f2"
        voices.push_back("ja+" + id.substr(id.find('/') + 1));
    }
    return voices;
}

} // namespace

struct JapaneseSpeech::Impl final : audio::VoiceSource {
    std::unique_ptr<JapaneseReading> reading;
    std::vector<std::string> voices;

    // The mix pulls the voice from the stream, which converts espeak-ng's mono PCM to the
    // device's format; no stream when there is no audio device.
    SDL_AudioStream* stream = nullptr;
    int frameBytes = 0;
    int aheadBytes = 0; // AheadMs of sound in the device's format

    // Guards everything below and the stream. A new generation cancels the synthesis under way.
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained; // the mixer took sound, or the synthesis was cancelled
    std::condition_variable filled;  // the synthesis put sound in the stream, or ended
    uint64_t generation = 0;
    std::optional<std::string> pending;
    bool synthesising = false;
    std::optional<std::string> readingsFile; // to be read before the next synthesis
    VoiceSettings settings;
    AnnouncementStatus status;
    bool quit = false;
    std::thread worker;

    struct Job {
        Impl* impl;
        uint64_t generation;
    };

    static int onSamples(short* wav, int count, espeak_EVENT* events) {
        const Job* job = static_cast<const Job*>(events->user_data);
        return job->impl->deliver(wav, count, job->generation) ? 0 : 1;
    }

    // espeak-ng's state is process-wide, and 1.51 hangs when it is terminated a second time, so
    // it is initialised once per data folder and left to the end of the process.
    static bool startEspeak(const std::string& dataPath) {
        static std::optional<std::string> started;
        if (started == dataPath) return true;
        started.reset();
        espeak_ng_InitializePath(dataPath.empty() ? nullptr : dataPath.c_str());
        espeak_ng_ERROR_CONTEXT context = nullptr;
        const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
        espeak_ng_ClearErrorContext(&context);
        if (status != ENS_OK || espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, PieceMs, nullptr) != ENS_OK ||
            espeak_ng_SetVoiceByName("ja") != ENS_OK)
            return false;
        espeak_SetSynthCallback(onSamples);
        started = dataPath;
        return true;
    }

    // Nothing more will come into the stream until the next speak().
    bool finished() const { return !pending && !synthesising; }

    void read(int16_t* out, std::size_t frames, bool wait) override {
        const int bytes = static_cast<int>(frames) * frameBytes;
        auto* to = reinterpret_cast<Uint8*>(out);
        int got = 0;
        std::unique_lock lock(mutex);
        for (;;) {
            // The stream may hold less than asked while the synthesis waits for room: take what
            // there is, so that a pull longer than the synthesis runs ahead still ends.
            const int n = SDL_AudioStreamGet(stream, to + got, bytes - got);
            if (n > 0) {
                got += n;
                drained.notify_one();
            }
            if (got >= bytes || !wait || (finished() && SDL_AudioStreamAvailable(stream) == 0)) break;
            filled.wait(lock, [&] { return SDL_AudioStreamAvailable(stream) > 0 || finished(); });
        }
        std::memset(to + got, 0, static_cast<std::size_t>(bytes - got));
    }

    bool speaking() const override {
        std::lock_guard lock(mutex);
        return !finished() || SDL_AudioStreamAvailable(stream) > 0;
    }

    // Called by the worker with each piece of PCM; false cancels the synthesis.
    bool deliver(const short* wav, int count, uint64_t job) {
        std::unique_lock lock(mutex);
        drained.wait(lock,
                     [&] { return job != generation || !stream || SDL_AudioStreamAvailable(stream) < aheadBytes; });
        if (job != generation) return false;
        if (stream && count > 0) SDL_AudioStreamPut(stream, wav, count * static_cast<int>(sizeof(short)));
        filled.notify_one();
        return true;
    }

    // Runs on the worker thread only: espeak-ng is not safe to call from two threads.
    bool synthesise(const std::string& text, const VoiceSettings& s, uint64_t job) {
        const std::string spoken = reading->katakana(text);
        if (espeak_ng_SetVoiceByName(s.voice.c_str()) != ENS_OK) return false;
        espeak_SetParameter(espeakRATE, s.rate, 0);
        espeak_SetParameter(espeakPITCH, s.pitch, 0);
        espeak_SetParameter(espeakVOLUME, s.volume, 0);
        Job current{this, job};
        return espeak_ng_Synthesize(spoken.c_str(), spoken.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                                    &current) == ENS_OK;
    }

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return quit || pending; });
            if (quit) return;
            const std::string text = std::move(*pending);
            pending.reset();
            const uint64_t job = generation;
            const VoiceSettings s = settings;
            const std::optional<std::string> readings = std::exchange(readingsFile, std::nullopt);
            synthesising = true;
            lock.unlock();
            // The reading is used on this thread only, so its dictionary is changed here too.
            if (readings) reading->useReadingsFile(*readings);
            const bool ok = synthesise(text, s, job);
            lock.lock();
            synthesising = false;
            // A cancelled synthesis's ending says nothing about the voice.
            if (job == generation) {
                status.end(job, ok);
                if (stream) SDL_AudioStreamFlush(stream); // the resampler's tail
            }
            filled.notify_one();
        }
    }

    // A new generation: the synthesis under way stops at its next piece, the mixer falls silent.
    void cut() {
        ++generation;
        pending.reset();
        if (stream) SDL_AudioStreamClear(stream);
        drained.notify_one();
    }
};

std::unique_ptr<JapaneseSpeech> JapaneseSpeech::create(const VoiceSettings& settings, const SpeechPaths& paths) {
    auto d = std::make_unique<Impl>();
    d->reading = JapaneseReading::create(paths.mecabDictionary);
    if (!d->reading || !Impl::startEspeak(paths.espeakData)) return nullptr;
    d->voices = japaneseVoices();

    int rate = 0, channels = 0;
    Uint16 format = 0;
    // A voice that cannot be heard is no voice: without a sound device the broadcast group says
    // so, as it does without MeCab or espeak-ng.
    if (!audio::open() || !Mix_QuerySpec(&rate, &format, &channels)) return nullptr;
    d->stream =
        SDL_NewAudioStream(AUDIO_S16SYS, 1, espeak_ng_GetSampleRate(), format, static_cast<Uint8>(channels), rate);
    d->frameBytes = channels * SDL_AUDIO_BITSIZE(format) / 8;
    d->aheadBytes = rate / 1000 * AheadMs * d->frameBytes;
    if (d->stream) audio::setVoiceSource(d.get());
    std::unique_ptr<JapaneseSpeech> speech(new JapaneseSpeech(std::move(d)));
    speech->setSettings(settings);
    return speech;
}

JapaneseSpeech::JapaneseSpeech(std::unique_ptr<Impl> impl) : d(std::move(impl)) {
    d->worker = std::thread([this] { d->run(); });
}

JapaneseSpeech::~JapaneseSpeech() {
    if (d->stream) audio::setVoiceSource(nullptr);
    {
        std::lock_guard lock(d->mutex);
        d->cut();
        d->quit = true;
    }
    d->wake.notify_one();
    d->worker.join();
    SDL_FreeAudioStream(d->stream);
}

void JapaneseSpeech::speak(const std::string& utf8Text) {
    {
        std::lock_guard lock(d->mutex);
        d->cut();
        d->status.begin(d->generation);
        d->pending = utf8Text;
    }
    d->wake.notify_one();
}

void JapaneseSpeech::stopSpeaking() {
    std::lock_guard lock(d->mutex);
    d->cut();
}

void JapaneseSpeech::useReadings(const std::string& file) {
    std::lock_guard lock(d->mutex);
    d->readingsFile = file;
}

bool JapaneseSpeech::speaking() const { return d->speaking(); }

int32_t JapaneseSpeech::status() {
    std::lock_guard lock(d->mutex);
    return d->status.value();
}

VoiceSettings JapaneseSpeech::settings() const {
    std::lock_guard lock(d->mutex);
    return d->settings;
}

void JapaneseSpeech::setSettings(const VoiceSettings& settings) {
    std::lock_guard lock(d->mutex);
    d->settings = settings;
    if (std::find(d->voices.begin(), d->voices.end(), settings.voice) == d->voices.end()) d->settings.voice = "ja";
}

const std::vector<std::string>& JapaneseSpeech::voices() const { return d->voices; }
