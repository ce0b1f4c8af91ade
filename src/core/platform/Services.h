// Platform services the drawing and the model's consumers use, as interfaces
// so that tests can record or fix them. The Qt implementations live in
// QtServices.h/.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SoundPort {
public:
    virtual ~SoundPort() = default;
    // Play a wave file by bare name from the working directory, asynchronously;
    // a new sound cuts the previous one; a missing file plays nothing.
    virtual void PlayWave(const std::string& fileName) = 0;
    // Wave-output volume: low word left, high word right, each 0..0xFFFF.
    virtual void SetWaveVolume(std::uint32_t leftRight) = 0;
    virtual std::uint32_t WaveVolume() const = 0;
    // The plain system beep.
    virtual void Beep() = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Reseed from the clock (the steam display does it every frame).
    virtual void Reseed() = 0;
    // Uniform integer in 0..n-1; 0 for n <= 0.
    virtual int Next(int n) = 0;
};

class ClockSource {
public:
    virtual ~ClockSource() = default;
    // Current date and time in the system's short formats.
    virtual std::string ShortDate() = 0;
    virtual std::string ShortTime() = 0;
};

// A sound port that only records, for tests and headless runs.
class RecordingSound : public SoundPort {
public:
    void PlayWave(const std::string& fileName) override { played.push_back(fileName); }
    void SetWaveVolume(std::uint32_t v) override
    {
        volume = v;
        volumeSets.push_back(v);
    }
    std::uint32_t WaveVolume() const override { return volume; }
    void Beep() override { ++beeps; }

    std::vector<std::string> played;
    std::vector<std::uint32_t> volumeSets;
    std::uint32_t volume = 0x80008000u;
    int beeps = 0;
};

// A deterministic generator (xorshift) for tests; Reseed only counts.
class FixedRandom : public RandomSource {
public:
    explicit FixedRandom(std::uint32_t seed = 12345) : state_(seed ? seed : 1) {}
    void Reseed() override { ++reseeds; }
    int Next(int n) override
    {
        if (n <= 0) return 0;
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<std::uint32_t>(n));
    }
    int reseeds = 0;

private:
    std::uint32_t state_;
};

class FixedClock : public ClockSource {
public:
    std::string ShortDate() override { return date; }
    std::string ShortTime() override { return time; }
    std::string date = "08/12/2026";
    std::string time = "12:00";
};
