#include "calculator/numbertext.h"

#include <QRegularExpression>
#include <array>
#include <cmath>

namespace NumberText {
namespace {

QString withCapitalExponent(QString text)
{
    return text.replace(QLatin1Char('e'), QLatin1Char('E'));
}

} // namespace

std::optional<double> read(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)([Ee][+-]?\\d+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const double value = text.toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

QString general(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0: no "-0"
    return withCapitalExponent(QString::number(value, 'g', 15));
}

QString scientific(double value)
{
    return withCapitalExponent(QString::number(value, 'e', 2));
}

double roundHalfEven(double value, int places)
{
    static constexpr std::array<double, 11> scales = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10 };
    if (places < 0 || places >= int(scales.size()) || !std::isfinite(value))
        return value;
    const double scale = scales[size_t(places)];
    const double magnitude = std::abs(value);
    // magnitude * scale == scaled + error exactly, so halfway cases are told apart from near misses.
    const double scaled = magnitude * scale;
    const double error = std::fma(magnitude, scale, -scaled);
    const double whole = std::floor(scaled);
    const double beyondHalf = (scaled - whole - 0.5) + error; // its sign is exact
    double rounded = whole;
    if (beyondHalf > 0 || (beyondHalf == 0 && std::fmod(whole, 2) != 0))
        rounded += 1;
    return std::copysign(rounded / scale, value);
}

} // namespace NumberText
