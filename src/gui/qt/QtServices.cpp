#include "qt/QtServices.h"

#include <QDateTime>
#include <QLocale>

void QtClock::Refresh()
{
    const long long second = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (second == second_) return;
    second_ = second;
    const QDateTime now = QDateTime::currentDateTime();
    date_ = QLocale::system().toString(now.date(), QLocale::ShortFormat).toStdString();
    time_ = QLocale::system().toString(now.time(), QLocale::ShortFormat).toStdString();
}

std::string QtClock::ShortDate()
{
    Refresh();
    return date_;
}

std::string QtClock::ShortTime()
{
    Refresh();
    return time_;
}

ClockSeededRandom::ClockSeededRandom() { Reseed(); }

void ClockSeededRandom::Reseed()
{
    engine_.seed(static_cast<std::minstd_rand::result_type>(QDateTime::currentMSecsSinceEpoch() % 2147483646 + 1));
}

int ClockSeededRandom::Next(int n)
{
    if (n <= 0) return 0;
    return static_cast<int>(engine_() % static_cast<unsigned>(n));
}
