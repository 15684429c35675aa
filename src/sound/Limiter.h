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

    explicit Limiter(int sampleRate) : keep_(std::exp(-1.0f / (0.05f * static_cast<float>(sampleRate)))) {}

    // Interleaved frames of `channels` samples, full scale 32767, into 16-bit samples.
    void process(const float* in, int16_t* out, std::size_t frames, int channels) {
        const float ceiling = Ceiling * 32767.0f;
        for (std::size_t f = 0; f < frames; ++f) {
            const float* frame = in + f * static_cast<std::size_t>(channels);
            float peak = 0;
            for (int c = 0; c < channels; ++c) peak = std::fmax(peak, std::fabs(frame[c]));
            // The cut, not the gain, decays: it reaches zero, so the gain comes back to exactly 1
            // (a gain stepping up towards 1 would stall a rounding short of it).
            cut_ *= keep_;
            if (peak * (1.0f - cut_) > ceiling) cut_ = 1.0f - ceiling / peak;
            const float gain = 1.0f - cut_;
            for (int c = 0; c < channels; ++c)
                out[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                    static_cast<int16_t>(std::lrint(frame[c] * gain));
        }
    }

private:
    float keep_;
    float cut_ = 0.0f; // 1 - gain
};

} // namespace audio
