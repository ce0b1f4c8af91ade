// Synthesises the program's two sound files:
//   Exhaust.wav  a short exhaust chuff: a burst of noise whose brightness and
//                loudness fall away quickly, with a low "body" underneath;
//   Error.wav    a short two-note warning tone.
// Both are 16-bit mono PCM at 22050 Hz. The output is deterministic, so
// regenerating gives the same files.
//
// Built only on request:
//   g++ -O2 -std=c++20 tools/genwav/genwav.cpp -o /tmp/genwav && /tmp/genwav data
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void Put16(std::FILE* f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void Put32(std::FILE* f, std::uint32_t v)
{
    Put16(f, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(f, static_cast<std::uint16_t>(v >> 16));
}

bool WriteWave(const std::string& path, const std::vector<double>& samples)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    Put32(f, 36 + dataBytes);
    std::fwrite("WAVE", 1, 4, f);
    std::fwrite("fmt ", 1, 4, f);
    Put32(f, 16);
    Put16(f, 1); // PCM
    Put16(f, 1); // mono
    Put32(f, kRate);
    Put32(f, kRate * 2);
    Put16(f, 2);
    Put16(f, 16);
    std::fwrite("data", 1, 4, f);
    Put32(f, dataBytes);
    for (double s : samples) {
        const double c = std::clamp(s, -1.0, 1.0);
        Put16(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(c * 32767))));
    }
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}

void Normalise(std::vector<double>& v, double peak)
{
    double m = 0;
    for (double s : v) m = std::max(m, std::fabs(s));
    if (m > 0)
        for (double& s : v) s *= peak / m;
}

// Deterministic white noise in [-1, 1).
struct Noise {
    std::uint32_t state = 0x2545F491u;
    double Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

std::vector<double> Chuff()
{
    const double length = 0.30;
    const int n = static_cast<int>(length * kRate);
    std::vector<double> out(n);
    Noise noise;
    double bright = 0, body1 = 0, body2 = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // The hiss darkens as the blast dies away: cut-off from 4 kHz to 500 Hz.
        const double cutoff = 500 + 3500 * std::exp(-t / 0.05);
        const double a = 1 - std::exp(-2 * kPi * cutoff / kRate);
        const double w = noise.Next();
        bright += a * (w - bright);
        // A low rumble: noise through two gentle low-pass stages at ~180 Hz.
        const double b = 1 - std::exp(-2 * kPi * 180.0 / kRate);
        body1 += b * (w - body1);
        body2 += b * (body1 - body2);
        const double attack = std::min(1.0, t / 0.004);
        const double decay = std::exp(-t / 0.055);
        const double tail = std::exp(-t / 0.12);
        out[i] = attack * (0.75 * bright * decay + 5.0 * body2 * tail);
    }
    // Fade the last 20 ms to silence so that nothing clicks.
    const int fade = kRate / 50;
    for (int i = 0; i < fade; ++i) out[n - 1 - i] *= static_cast<double>(i) / fade;
    Normalise(out, 0.85);
    return out;
}

void Tone(std::vector<double>& out, double freq, double seconds)
{
    const int n = static_cast<int>(seconds * kRate);
    const int ramp = kRate / 200; // 5 ms in and out
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double env = 1;
        if (i < ramp) env = static_cast<double>(i) / ramp;
        if (n - 1 - i < ramp) env = static_cast<double>(n - 1 - i) / ramp;
        const double ph = 2 * kPi * freq * t;
        out.push_back(env * (std::sin(ph) + 0.25 * std::sin(3 * ph) + 0.1 * std::sin(5 * ph)));
    }
}

std::vector<double> ErrorTone()
{
    std::vector<double> out;
    Tone(out, 880, 0.11);
    out.insert(out.end(), kRate / 25, 0.0); // 40 ms gap
    Tone(out, 622, 0.17);
    Normalise(out, 0.6);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    const bool ok = WriteWave(dir + "/Exhaust.wav", Chuff()) && WriteWave(dir + "/Error.wav", ErrorTone());
    if (!ok) {
        std::fprintf(stderr, "genwav: cannot write the wave files into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
