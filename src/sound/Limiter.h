#pragma once
// The last stage of the mix: channels are summed with room to spare and this brings the sum
// under the ceiling. It acts at once on a peak (no sample ever passes over) and lets go over
// about 50 ms, so a single chime, which stays under the ceiling, passes untouched.
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace audio {

class Limiter {
public:
    static constexpr float Ceiling = 0.891f; // -1 dBFS of full scale

    explicit Limiter(int sampleRate) : release_(1.0f - std::exp(-1.0f / (0.05f * static_cast<float>(sampleRate)))) {}

    // Interleaved frames of `channels` samples, full scale 32767, into 16-bit samples.
    void process(const float* in, int16_t* out, std::size_t frames, int channels) {
        const float ceiling = Ceiling * 32767.0f;
        for (std::size_t f = 0; f < frames; ++f) {
            const float* frame = in + f * static_cast<std::size_t>(channels);
            float peak = 0;
            for (int c = 0; c < channels; ++c) peak = std::fmax(peak, std::fabs(frame[c]));
            gain_ += (1.0f - gain_) * release_;
            if (peak * gain_ > ceiling) gain_ = ceiling / peak;
            for (int c = 0; c < channels; ++c)
                out[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                    static_cast<int16_t>(std::lrint(frame[c] * gain_));
        }
    }
    float gain() const { return gain_; }

private:
    float release_;
    float gain_ = 1.0f;
};

} // namespace audio
