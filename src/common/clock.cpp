#include "common/clock.h"

namespace {
QDateTime s_fixed;
}

QDateTime Clock::now()
{
    return s_fixed.isValid() ? s_fixed : QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime &fixed)
{
    s_fixed = fixed;
}

void Clock::useSystem()
{
    s_fixed = QDateTime();
}
