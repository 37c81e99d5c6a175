// Synthesises the program's sounds as WAVE files: the switch click, the double click of a
// switch jumping over its middle position, a slide (kept with the others, never played),
// the paper feed motor, the printing head and tearing paper.
//
//   make-sounds OUTPUT-FOLDER      writes swc.wav swi.wav swd.wav fed.wav prn.wav rip.wav

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int sampleRate = 22050;
constexpr double pi = std::numbers::pi;

using Samples = std::vector<double>;

// A fixed-seed generator, so that every build makes the same sounds.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1 << 24) * 2 - 1;
    }

  private:
    uint32_t state_;
};

Samples silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * sampleRate), 0.0);
}

// Adds `sound` into `target` starting at `at` seconds, scaled.
void mixIn(Samples& target, const Samples& sound, double at, double gain = 1.0) {
    const size_t start = static_cast<size_t>(at * sampleRate);
    if (target.size() < start + sound.size()) target.resize(start + sound.size(), 0.0);
    for (size_t i = 0; i < sound.size(); ++i) target[start + i] += sound[i] * gain;
}

// One-pole filters.
void lowPass(Samples& s, double cutoff) {
    const double a = 1 - std::exp(-2 * pi * cutoff / sampleRate);
    double y = 0;
    for (double& x : s) x = y += a * (x - y);
}

void highPass(Samples& s, double cutoff) {
    Samples low = s;
    lowPass(low, cutoff);
    for (size_t i = 0; i < s.size(); ++i) s[i] -= low[i];
}

// A click: a short noise burst and a damped ring of the switch's metal.
Samples click(uint32_t seed, double ringHz, double loudness) {
    Noise noise(seed);
    Samples s = silence(0.045);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double burst = noise.next() * std::exp(-t / 0.0016);
        const double ring = std::sin(2 * pi * ringHz * t) * std::exp(-t / 0.006) * 0.6;
        const double body = std::sin(2 * pi * 420 * t) * std::exp(-t / 0.012) * 0.35;
        s[i] = (burst + ring + body) * loudness;
    }
    highPass(s, 150);
    return s;
}

Samples switchClick() {
    Samples s = silence(0.08);
    mixIn(s, click(11, 2300, 0.9), 0.0);
    mixIn(s, click(12, 1900, 0.45), 0.018);
    return s;
}

Samples switchDoubleClick() {
    Samples s = silence(0.16);
    mixIn(s, click(21, 2300, 0.9), 0.0);
    mixIn(s, click(22, 2100, 0.55), 0.055);
    mixIn(s, click(23, 1900, 0.45), 0.075);
    return s;
}

Samples switchSlide() {
    Noise noise(31);
    Samples s = silence(0.14);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        s[i] = noise.next() * 0.18 * std::sin(pi * std::min(1.0, t / 0.12));
    }
    lowPass(s, 2500);
    mixIn(s, click(32, 2000, 0.6), 0.115);
    return s;
}

// A small motor with its gears: a buzz with harmonics, gear teeth and a rushing noise.
Samples motor(double seconds, double hz, double toothHz, uint32_t seed, double loudness) {
    Noise noise(seed);
    Samples s = silence(seconds);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double envelope = std::min({1.0, t / 0.02, (seconds - t) / 0.04});
        const double wobble = 1 + 0.02 * std::sin(2 * pi * 7 * t);
        phase += 2 * pi * hz * wobble / sampleRate;
        const double buzz = 0.5 * std::sin(phase) + 0.3 * std::sin(2 * phase + 0.4) +
                            0.2 * std::sin(3 * phase + 1.1) + 0.12 * std::sin(5 * phase);
        const double tooth = std::pow(std::max(0.0, std::sin(2 * pi * toothHz * t)), 12.0);
        s[i] = envelope * loudness * (buzz * 0.45 + tooth * 0.35 + noise.next() * 0.12);
    }
    lowPass(s, 4000);
    highPass(s, 60);
    return s;
}

Samples paperFeed() {
    return motor(0.42, 118, 46, 41, 0.8);
}

// The head stepping across the paper while it prints, then running back.
Samples printing() {
    Samples s = silence(1.0);
    Noise noise(51);
    const double printEnd = 0.62;
    // printing pass: quick steps with the buzz of the heating element
    for (double t = 0.0; t < printEnd; t += 1.0 / 180) {
        mixIn(s, click(static_cast<uint32_t>(t * 1000) + 52, 3200, 0.16), t);
    }
    for (size_t i = 0; i < static_cast<size_t>(printEnd * sampleRate); ++i) {
        const double t = double(i) / sampleRate;
        s[i] += 0.07 * std::sin(2 * pi * 1450 * t) * (0.6 + 0.4 * noise.next());
    }
    // return pass: a smoother run
    mixIn(s, motor(0.34, 160, 90, 53, 0.45), printEnd + 0.02);
    lowPass(s, 6000);
    return s;
}

Samples tearing() {
    Noise noise(61);
    Samples s = silence(0.38);
    double crackle = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double envelope = std::sin(pi * std::min(1.0, t / 0.36)) * (0.6 + 0.4 * t / 0.36);
        if (noise.next() > 0.93) crackle = 1.0;
        crackle *= 0.995;
        s[i] = envelope * noise.next() * (0.25 + 0.75 * crackle);
    }
    highPass(s, 900);
    lowPass(s, 7000);
    return s;
}

// Normalised to the given peak: the clicks stand out, the longer sounds stay softer.
bool writeWave(const std::string& path, const Samples& samples, double loudness) {
    double peak = 0;
    for (double x : samples) peak = std::max(peak, std::abs(x));
    const double gain = peak > 0 ? loudness / peak : 0;
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        pcm[i] =
            static_cast<int16_t>(std::lround(std::clamp(samples[i] * gain, -1.0, 1.0) * 32767));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    auto u32 = [&](uint32_t v) {
        const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16),
                                    uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, file);
    };
    auto u16 = [&](uint16_t v) {
        const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, file);
    };
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(sampleRate);
    u32(sampleRate * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, file);
    u32(dataBytes);
    for (int16_t v : pcm) u16(static_cast<uint16_t>(v));
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-sounds OUTPUT-FOLDER\n";
        return 1;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        Samples samples;
        double loudness;
    } sounds[] = {
        {"swc", switchClick(), 0.85}, {"swi", switchDoubleClick(), 0.85},
        {"swd", switchSlide(), 0.6},  {"fed", paperFeed(), 0.5},
        {"prn", printing(), 0.5},     {"rip", tearing(), 0.6},
    };
    for (const auto& sound : sounds) {
        const std::string path = folder + "/" + sound.name + ".wav";
        if (!writeWave(path, sound.samples, sound.loudness)) {
            std::cerr << "make-sounds: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
