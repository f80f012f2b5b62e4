#include "tools/playbot/Stats.h"

#include "base/StringUtils.h"

#include <algorithm>
#include <cmath>

namespace PlayBot
{

namespace
{

constexpr int kPlanetEnds[] = {2, 5, 8, 10, 13, 15, 18, 21, 24, 27, 30};
constexpr int kPlanets = int(std::size(kPlanetEnds)) + 1;

} // namespace

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(fraction * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

int PlanetOf(int level)
{
    for (int p = 0; p < kPlanets - 1; ++p)
        if (level <= kPlanetEnds[p]) return p + 1;
    return kPlanets;
}

int PlanetFirstLevel(int planet)
{
    if (planet > kPlanets) return PlanetLastLevel(kPlanets) + 1;
    return planet <= 1 ? 1 : kPlanetEnds[planet - 2] + 1;
}

int PlanetLastLevel(int planet)
{
    return planet >= kPlanets ? 40 : kPlanetEnds[std::max(planet, 1) - 1];
}

LevelStats Summarise(int level, const std::vector<LevelTrial>& trials)
{
    LevelStats s;
    s.level = level;
    std::vector<double> moves, seconds;
    for (const LevelTrial& t : trials)
    {
        s.runs += 1;
        s.ends[int(t.end)] += 1;
        s.startStuck += t.startStuck;
        s.becameStuck += t.becameStuck;
        s.scrambles += t.scrambles;
        if (t.end != End::Won) continue;
        s.wins += 1;
        moves.push_back(t.moves);
        seconds.push_back(t.seconds);
    }
    s.medianMoves = Median(moves);
    s.p90Moves = Percentile(moves, 0.9);
    s.medianSeconds = Median(seconds);
    s.p90Seconds = Percentile(seconds, 0.9);
    return s;
}

std::string NotWon(const LevelStats& s)
{
    std::string text;
    for (int e = 1; e < 5; ++e)
        if (s.ends[e])
            text += Kavo::StrFormat("%s%d %s", text.empty() ? "" : ", ", s.ends[e], EndName(End(e)));
    return text;
}

std::string LevelTable(const std::vector<LevelStats>& rows, const char* firstColumn)
{
    std::string text =
        Kavo::StrFormat("%-6s %5s %6s %6s %7s %7s %6s %6s %6s  %s\n", firstColumn, "won", "moves", "p90",
                        "seconds", "p90", "start", "became", "scram", "not won");
    for (const LevelStats& s : rows)
        text += Kavo::StrFormat("%-6d %4.0f%% %6.0f %6.0f %7.0f %7.0f %5.0f%% %5.0f%% %6.1f  %s\n", s.level,
                                100 * s.WinRate(), s.medianMoves, s.p90Moves, s.medianSeconds, s.p90Seconds,
                                s.runs ? 100.0 * s.startStuck / s.runs : 0.0,
                                s.runs ? 100.0 * s.becameStuck / s.runs : 0.0,
                                s.runs ? double(s.scrambles) / s.runs : 0.0, NotWon(s).c_str());
    return text;
}

} // namespace PlayBot
