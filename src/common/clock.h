#pragma once

#include <QDateTime>

// The one place the program reads the time of day. Tests pin it with setFixed().
class Clock final
{
public:
    static QDateTime now();
    static void setFixed(const QDateTime &fixed);
    static void useSystem();
};
