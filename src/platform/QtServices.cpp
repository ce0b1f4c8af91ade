#include "platform/QtServices.h"

#include <QDateTime>
#include <QLocale>

std::string QtClock::ShortDate()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtClock::ShortTime()
{
    return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
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
