#include "tools/playbot/Report.h"

#include "base/StringUtils.h"
#include "base/XMLParser.h"
#include "platform/files/Files.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace PlayBot
{

using Kavo::StrFormat;

uint32_t LevelSeed(int level, int trial)
{
    return uint32_t(1000 * level + trial + 1);
}

uint32_t GameSeed(int trial)
{
    return uint32_t(300 + trial);
}

LevelsPlayed PlayLevels(const Kavo::GameRulesConfig& rules, const std::vector<int>& levels, int seeds, int threads,
                        const PlayerOptions& player, int moves)
{
    LevelsPlayed played;
    if (levels.empty()) return played;
    std::vector<std::vector<LevelTrial>> trials(levels.size(), std::vector<LevelTrial>(size_t(seeds)));
    RunJobs(int(levels.size()) * seeds, threads,
            [&](int job)
            {
                const size_t l = size_t(job / seeds), s = size_t(job % seeds);
                trials[l][s] = PlayLevel(rules, levels[l], LevelSeed(levels[l], int(s)), player, moves);
            });
    for (size_t l = 0; l < levels.size(); ++l)
        played.levels.push_back(Summarise(levels[l], trials[l]));
    for (int planet = PlanetOf(levels.front()); planet <= PlanetOf(levels.back()); ++planet)
    {
        std::vector<LevelTrial> all;
        for (size_t l = 0; l < levels.size(); ++l)
            if (PlanetOf(levels[l]) == planet) all.insert(all.end(), trials[l].begin(), trials[l].end());
        played.planets.push_back(Summarise(planet, all));
    }
    return played;
}

std::vector<GameTrial> PlayGames(const Kavo::GameRulesConfig& rules, int count, int threads,
                                 const PlayerOptions& player, int moves)
{
    std::vector<GameTrial> games(size_t(std::max(count, 0)));
    RunJobs(count, threads, [&](int g) { games[size_t(g)] = PlayGame(rules, GameSeed(g), player, moves); });
    return games;
}

int GamesWon(const std::vector<GameTrial>& games)
{
    return int(std::count_if(games.begin(), games.end(), [](const GameTrial& g) { return g.end == End::Won; }));
}

std::string GameTable(const std::vector<GameTrial>& games)
{
    std::string text;
    for (size_t g = 0; g < games.size(); ++g)
    {
        const GameTrial& game = games[g];
        text += StrFormat("game %zu: %s at level %d after %d moves, %.0f s, score %d\n", g + 1, EndName(game.end),
                          game.levels.empty() ? 0 : game.levels.back().level, game.moves, game.seconds, game.score);
    }
    return text + StrFormat("whole games won: %d of %zu\n", GamesWon(games), games.size());
}

namespace
{

PlayerOptions CasualPlayer()
{
    PlayerOptions casual;
    casual.style = Style::Casual;
    casual.pace = 2.0;
    return casual;
}

// Scores of whole games of a challenge by one player, a game per seed.
std::vector<double> ChallengeScores(const Kavo::GameRulesConfig& rules, int seeds, int threads,
                                    const PlayerOptions& player, int moves, std::vector<double>* movesPlayed = nullptr)
{
    std::vector<double> scores;
    for (const GameTrial& g : PlayGames(rules, seeds, threads, player, moves))
    {
        scores.push_back(g.score);
        if (movesPlayed) movesPlayed->push_back(g.moves);
    }
    return scores;
}

int RoundMedal(double score)
{
    const double step = score >= 10000 ? 1000 : score >= 1000 ? 100 : 10;
    return int(std::max(step, std::round(score / step) * step));
}

} // namespace

std::string MedalTable(const std::string& file, const Kavo::GameRulesConfig& rules, int seeds, int threads)
{
    const std::vector<double> casual = ChallengeScores(rules, seeds, threads, CasualPlayer(), 1500);
    const std::vector<double> careful = ChallengeScores(rules, seeds, threads, PlayerOptions(), 1500);
    const double best = *std::max_element(careful.begin(), careful.end());
    const int bronze = RoundMedal(Median(casual)), gold = RoundMedal(Median(careful));
    return StrFormat("%s: casual %.0f / %.0f / %.0f, careful %.0f / %.0f / %.0f (lowest / median / best); "
                     "medals near %d, %d, %d, %d\n",
                     file.c_str(), Percentile(casual, 0), Median(casual), Percentile(casual, 1),
                     Percentile(careful, 0), Median(careful), best, bronze, RoundMedal((bronze + gold) / 2.0), gold,
                     RoundMedal(std::max(best, gold * 1.2)));
}

std::vector<ChallengeEntry> ReadChallenges(const std::string& properties)
{
    std::vector<ChallengeEntry> challenges;
    const char* const medalNames[4] = {"BronzeScoreRequirement", "SilverScoreRequirement", "GoldScoreRequirement",
                                       "UltraScoreRequirement"};
    for (int page = 1; page <= 3; ++page)
    {
        Kavo::XMLParser parser;
        if (!parser.OpenFile(properties + "/ChallengeGrid" + std::to_string(page) + ".xml")) continue;
        ChallengeEntry c;
        Kavo::XMLElement e;
        while (parser.NextElement(e))
        {
            if (e.type == Kavo::XMLElement::TYPE_END && e.section == "challenges/challenge") challenges.push_back(c);
            if (e.type != Kavo::XMLElement::TYPE_START || !e.attributes.count("value")) continue;
            const std::string& value = e.attributes.at("value");
            if (e.value == "ID") c.id = value;
            if (e.value == "ConfigFile") c.file = value;
            for (int m = 0; m < 4; ++m)
                if (e.value == medalNames[m]) c.medals[m] = std::atoi(value.c_str());
        }
    }
    return challenges;
}

namespace
{

struct Mode
{
    const char* name;
    const char* file;
};

constexpr Mode kModes[] = {{"Untimed", "untimed_config.xml"},
                           {"Timed", "timed_config.xml"},
                           {"Mastermind", "untimed_hard_config.xml"},
                           {"Speedblitz", "timed_hard_config.xml"},
                           {"Crazy", "crazy_config.xml"}};

struct ModeResult
{
    std::string name, file;
    std::vector<LevelStats> levels, planets;
    std::vector<GameTrial> games;
};

struct Challenge : ChallengeEntry
{
    std::vector<double> careful, casual, moves;
};

bool PlayMode(const std::string& properties, const Mode& mode, const ReportOptions& o, ModeResult& result)
{
    Kavo::GameRulesConfig rules;
    if (!LoadRules(properties + "/" + mode.file, rules)) return false;
    result.name = mode.name;
    result.file = mode.file;
    std::vector<int> levels;
    for (int level = 1; level < EndLevel(rules); ++level)
        levels.push_back(level);
    LevelsPlayed played = PlayLevels(rules, levels, o.seeds, o.threads, o.player, o.moves);
    result.levels = std::move(played.levels);
    result.planets = std::move(played.planets);
    result.games = PlayGames(rules, o.games, o.threads, o.player, o.gameMoves);
    return true;
}

double Reach(const std::vector<double>& scores, int medal)
{
    if (scores.empty()) return 0;
    return double(std::count_if(scores.begin(), scores.end(), [&](double s) { return s >= medal; })) / scores.size();
}

// Where the levels of a mode break the bounds, one line each.
std::vector<std::string> Breaches(const ModeResult& mode, const Bounds& b)
{
    std::vector<std::string> found;
    for (const LevelStats& s : mode.levels)
    {
        if (s.WinRate() < b.minWinRate)
            found.push_back(StrFormat("%s %d: won %.0f%%", mode.name.c_str(), s.level, 100 * s.WinRate()));
        if (s.startStuck > b.maxStartStuck * s.runs)
            found.push_back(StrFormat("%s %d: starts stuck on %d of %d boards", mode.name.c_str(), s.level,
                                      s.startStuck, s.runs));
        const int unwinnable = s.ends[int(End::Stuck)] + s.ends[int(End::Lost)];
        if (unwinnable)
            found.push_back(StrFormat("%s %d: became unwinnable in %d trials", mode.name.c_str(), s.level, unwinnable));
    }
    for (size_t p = 1; p < mode.planets.size(); ++p)
    {
        const double before = mode.planets[p - 1].medianMoves, now = mode.planets[p].medianMoves;
        if (now < before)
            found.push_back(StrFormat("%s planet %zu: %.0f moves, fewer than planet %zu's %.0f", mode.name.c_str(),
                                      p + 1, now, p, before));
        if (now > b.maxPlanetRise * before)
            found.push_back(StrFormat("%s planet %zu: %.0f moves, a cliff after planet %zu's %.0f",
                                      mode.name.c_str(), p + 1, now, p, before));
    }
    const int wins = GamesWon(mode.games);
    if (wins < b.minGameWins)
        found.push_back(StrFormat("%s: %d of %zu whole games won", mode.name.c_str(), wins, mode.games.size()));
    return found;
}

std::string ModeSection(const ModeResult& mode)
{
    std::string md = StrFormat("## %s (%s)\n\n![%s](difficulty-%s.svg)\n\n", mode.name.c_str(), mode.file.c_str(),
                               mode.name.c_str(), Kavo::StringToLower(mode.name).c_str());
    md += "| planet | levels | won | median moves | p90 moves | median s | rise |\n|---|---|---|---|---|---|---|\n";
    for (size_t p = 0; p < mode.planets.size(); ++p)
    {
        const LevelStats& s = mode.planets[p];
        const int last = std::min(PlanetLastLevel(s.level), int(mode.levels.size()));
        const std::string rise =
            p == 0 || mode.planets[p - 1].medianMoves <= 0
                ? std::string("")
                : StrFormat("x%.2f", s.medianMoves / mode.planets[p - 1].medianMoves);
        md += StrFormat("| %d | %d-%d | %.0f%% | %.0f | %.0f | %.0f | %s |\n", s.level, PlanetFirstLevel(s.level), last,
                        100 * s.WinRate(), s.medianMoves, s.p90Moves, s.medianSeconds, rise.c_str());
    }
    md += "\n| level | won | median moves | p90 moves | median s | p90 s | starts stuck | becomes stuck | "
          "scrambles | not won |\n|---|---|---|---|---|---|---|---|---|---|\n";
    for (const LevelStats& s : mode.levels)
        md += StrFormat("| %d | %.0f%% | %.0f | %.0f | %.0f | %.0f | %.0f%% | %.0f%% | %.1f | %s |\n", s.level,
                        100 * s.WinRate(), s.medianMoves, s.p90Moves, s.medianSeconds, s.p90Seconds,
                        100.0 * s.startStuck / std::max(1, s.runs), 100.0 * s.becameStuck / std::max(1, s.runs),
                        double(s.scrambles) / std::max(1, s.runs), NotWon(s).c_str());
    md += "\nWhole games from level 1:\n\n";
    for (size_t g = 0; g < mode.games.size(); ++g)
    {
        const GameTrial& game = mode.games[g];
        md += StrFormat("- seed %zu: %s at level %d after %d moves (%.0f s), score %d\n", g + 1, EndName(game.end),
                        game.levels.empty() ? 0 : game.levels.back().level, game.moves, game.seconds, game.score);
    }
    return md + "\n";
}

// The curve of a mode: median moves to win per level (dots, with the 90th percentile as a bar),
// per planet (steps), and the win rate (line, right axis).
std::string Plot(const ModeResult& mode)
{
    const double w = 820, h = 360, left = 60, right = 60, top = 40, bottom = 50;
    const double plotW = w - left - right, plotH = h - top - bottom;
    const int n = int(mode.levels.size());
    double most = 10;
    for (const LevelStats& s : mode.levels)
        most = std::max(most, s.p90Moves);
    const double step = most > 400 ? 100 : most > 200 ? 50 : most > 80 ? 20 : 10;
    most = std::ceil(most / step) * step;
    auto x = [&](double level) { return left + plotW * (level - 0.5) / n; };
    auto y = [&](double moves) { return top + plotH * (1 - moves / most); };
    auto yRate = [&](double rate) { return top + plotH * (1 - rate); };

    std::string svg = StrFormat("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                                "font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%%\" height=\"100%%\" "
                                "fill=\"white\"/>\n",
                                w, h);
    svg += StrFormat("<text x=\"%.0f\" y=\"22\" font-size=\"15\">%s: moves to win per level and planet, and win "
                     "rate</text>\n",
                     left, mode.name.c_str());
    for (double m = 0; m <= most; m += step)
        svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>"
                         "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.0f</text>\n",
                         left, w - right, y(m), y(m), left - 6, y(m) + 4, m);
    for (int r = 0; r <= 100; r += 25)
        svg += StrFormat("<text x=\"%.1f\" y=\"%.1f\" fill=\"#c0392b\">%d%%</text>\n", w - right + 6, yRate(r / 100.0) + 4,
                         r);
    for (const LevelStats& p : mode.planets)
    {
        const double x0 = x(PlanetFirstLevel(p.level) - 0.5), x1 = x(std::min(PlanetLastLevel(p.level), n) + 0.5);
        svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.0f\" y2=\"%.0f\" stroke=\"#bbb\" "
                         "stroke-dasharray=\"3,3\"/>\n<text x=\"%.1f\" y=\"%.0f\" text-anchor=\"middle\" "
                         "fill=\"#555\">P%d</text>\n",
                         x0, x0, top, h - bottom, (x0 + x1) / 2, h - bottom + 32, p.level);
        if (p.wins)
            svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#2471a3\" "
                             "stroke-width=\"3\" opacity=\"0.5\"/>\n",
                             x0, x1, y(p.medianMoves), y(p.medianMoves));
    }
    std::string rate;
    for (const LevelStats& s : mode.levels)
    {
        svg += StrFormat("<text x=\"%.1f\" y=\"%.0f\" text-anchor=\"middle\">%d</text>\n", x(s.level), h - bottom + 16,
                         s.level);
        if (s.wins)
            svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#7fb3d5\"/>"
                             "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"#1b4f72\"/>\n",
                             x(s.level), x(s.level), y(s.medianMoves), y(s.p90Moves), x(s.level), y(s.medianMoves));
        rate += StrFormat("%s%.1f,%.1f", rate.empty() ? "" : " ", x(s.level), yRate(s.WinRate()));
    }
    svg += StrFormat("<polyline points=\"%s\" fill=\"none\" stroke=\"#c0392b\" stroke-width=\"1.5\"/>\n", rate.c_str());
    svg += StrFormat("<text x=\"%.0f\" y=\"%.0f\" fill=\"#1b4f72\">dots: median moves to win (bar to the 90th "
                     "percentile); steps: planet median</text>\n<text x=\"%.0f\" y=\"%.0f\" fill=\"#c0392b\" "
                     "text-anchor=\"end\">line: win rate</text>\n</svg>\n",
                     left, h - 4, w - right, h - 4);
    return svg;
}

} // namespace

bool WriteReport(const std::string& properties, const std::string& folder, const ReportOptions& o)
{
    std::vector<ModeResult> modes;
    for (const Mode& mode : kModes)
    {
        ModeResult result;
        std::fprintf(stderr, "playing %s\n", mode.name);
        if (!PlayMode(properties, mode, o, result))
        {
            std::fprintf(stderr, "%s/%s does not load\n", properties.c_str(), mode.file);
            return false;
        }
        modes.push_back(result);
    }
    std::vector<std::string> breaches;
    for (const ModeResult& mode : modes)
    {
        std::vector<std::string> more = Breaches(mode, o.bounds);
        breaches.insert(breaches.end(), more.begin(), more.end());
    }
    std::vector<Challenge> challenges;
    for (const ChallengeEntry& entry : ReadChallenges(properties))
        challenges.push_back({entry, {}, {}, {}});
    for (Challenge& c : challenges)
    {
        std::fprintf(stderr, "playing challenge %s\n", c.id.c_str());
        Kavo::GameRulesConfig rules;
        if (!LoadRules(properties + "/" + c.file, rules))
        {
            std::fprintf(stderr, "%s/%s does not load\n", properties.c_str(), c.file.c_str());
            return false;
        }
        c.careful = ChallengeScores(rules, o.seeds, o.threads, o.player, o.moves, &c.moves);
        c.casual = ChallengeScores(rules, o.seeds, o.threads, CasualPlayer(), o.moves);
        if (Reach(c.careful, c.medals[0]) < o.bounds.minWinRate)
            breaches.push_back(StrFormat("challenge %s: bronze in %.0f%%", c.id.c_str(), 100 * Reach(c.careful, c.medals[0])));
    }

    std::string md = "# Difficulty of the levels\n\n";
    md += StrFormat("Made by `scripts/difficulty-report.sh`: the %s player of `playbot` plays every level of the five "
                    "modes from a fresh board with %d seeds, at most %d moves a level and %s of game time a move, "
                    "%d whole games of each mode from level 1 (at most %d moves a level), and every challenge %d times.\n\n",
                    o.player.style == Style::Careful ? "careful" : "casual", o.seeds, o.moves,
                    o.player.pace > 0 ? StrFormat("%.1f s", o.player.pace).c_str() : "1 s (Speedblitz) or 1.5 s", o.games,
                    o.gameMoves,
                    o.seeds);
    md += StrFormat("Bounds: every level won in at least %.0f%% of its trials, at most %.0f%% of first boards stuck, "
                    "no trial ending stuck or lost, each planet's median moves to win at least its predecessor's and "
                    "at most %.0f times it, at least %d whole game of each mode won, every challenge's bronze medal "
                    "in at least %.0f%% of its games.\n\n",
                    100 * o.bounds.minWinRate, 100 * o.bounds.maxStartStuck, o.bounds.maxPlanetRise,
                    o.bounds.minGameWins, 100 * o.bounds.minWinRate);
    if (breaches.empty()) md += "**Every level and challenge keeps the bounds.**\n\n";
    else
    {
        md += "**Outside the bounds:**\n\n";
        for (const std::string& b : breaches)
            md += "- " + b + "\n";
        md += "\n";
    }
    md += "| mode | levels won (median) | whole games won |\n|---|---|---|\n";
    for (const ModeResult& mode : modes)
    {
        std::vector<double> rates;
        for (const LevelStats& s : mode.levels)
            rates.push_back(s.WinRate());
        md += StrFormat("| %s | %.0f%% | %d of %zu |\n", mode.name.c_str(), 100 * Median(rates), GamesWon(mode.games),
                        mode.games.size());
    }
    md += "\n";
    platform::MakeDirectory(folder);
    for (const ModeResult& mode : modes)
    {
        md += ModeSection(mode);
        const std::string svg = folder + "/difficulty-" + Kavo::StringToLower(mode.name) + ".svg";
        if (!platform::WriteFileAtomically(svg, Plot(mode))) return false;
    }
    md += "## Challenges\n\nMedal scores from the grids; how many games of the careful and of the casual player "
          "(2 s a move, overlooking half of the clicks) reach each medal.\n\n"
          "| challenge | file | bronze | silver | gold | ultra | careful median | careful best | casual median | "
          "careful reaches | casual reaches | median moves |\n|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const Challenge& c : challenges)
    {
        auto reaches = [&](const std::vector<double>& scores)
        {
            return StrFormat("%.0f / %.0f / %.0f / %.0f%%", 100 * Reach(scores, c.medals[0]),
                             100 * Reach(scores, c.medals[1]), 100 * Reach(scores, c.medals[2]),
                             100 * Reach(scores, c.medals[3]));
        };
        md += StrFormat("| %s | %s | %d | %d | %d | %d | %.0f | %.0f | %.0f | %s | %s | %.0f |\n", c.id.c_str(),
                        c.file.c_str(), c.medals[0], c.medals[1], c.medals[2], c.medals[3], Median(c.careful),
                        Percentile(c.careful, 1), Median(c.casual), reaches(c.careful).c_str(),
                        reaches(c.casual).c_str(), Median(c.moves));
    }
    return platform::WriteFileAtomically(folder + "/difficulty.md", md);
}

} // namespace PlayBot
