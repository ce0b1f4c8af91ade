// Clock and random source over Qt and the standard library.
#pragma once

#include "platform/Services.h"

#include <random>

class QtClock : public ClockSource {
public:
    std::string ShortDate() override;
    std::string ShortTime() override;
};

// Reseeded from the millisecond clock, as the steam display asks every frame.
class ClockSeededRandom : public RandomSource {
public:
    ClockSeededRandom();
    void Reseed() override;
    int Next(int n) override;

private:
    std::minstd_rand engine_;
};
