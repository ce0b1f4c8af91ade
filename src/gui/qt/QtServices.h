// Clock and random source over Qt and the standard library.
#pragma once

#include "platform/Services.h"

#include <random>

// The texts are made again only when the second has changed: the captions ask
// for them on every tick.
class QtClock : public ClockSource {
public:
    std::string ShortDate() override;
    std::string ShortTime() override;

private:
    void Refresh();
    long long second_ = -1;
    std::string date_, time_;
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
