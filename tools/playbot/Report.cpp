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

LevelsPlayed PlayLevels(const Kavo::GameRulesConfig& rules, const std::vector<int>& levels, int seeds,
                        int threads, const PlayerOptions& player, int moves)
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
    return int(
        std::count_if(games.begin(), games.end(), [](const GameTrial& g) { return g.end == End::Won; }));
}

std::string GameTable(const std::vector<GameTrial>& games)
{
    std::string text;
    for (size_t g = 0; g < games.size(); ++g)
    {
        const GameTrial& game = games[g];
        text += StrFormat("game %zu: %s at level %d after %d moves, %.0f s, score %d\n", g + 1,
                          EndName(game.end), game.levels.empty() ? 0 : game.levels.back().level, game.moves,
                          game.seconds, game.score);
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
                                    const PlayerOptions& player, int moves,
                                    std::vector<double>* movesPlayed = nullptr)
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
                     Percentile(careful, 0), Median(careful), best, bronze, RoundMedal((bronze + gold) / 2.0),
                     gold, RoundMedal(std::max(best, gold * 1.2)));
}

std::vector<ChallengeEntry> ReadChallenges(const std::string& properties)
{
    std::vector<ChallengeEntry> challenges;
    const char* const medalNames[4] = {"BronzeScoreRequirement", "SilverScoreRequirement",
                                       "GoldScoreRequirement", "UltraScoreRequirement"};
    for (int page = 1; page <= 3; ++page)
    {
        Kavo::XMLParser parser;
        if (!parser.OpenFile(properties + "/ChallengeGrid" + std::to_string(page) + ".xml")) continue;
        ChallengeEntry c;
        Kavo::XMLElement e;
        while (parser.NextElement(e))
        {
            if (e.type == Kavo::XMLElement::TYPE_END && e.section == "challenges/challenge")
                challenges.push_back(c);
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

int FreshBoardsStuck(const Kavo::GameRulesConfig& rules, int level, int count)
{
    int stuck = 0;
    for (int i = 0; i < count; ++i)
        stuck += StartsStuck(rules, level, LevelSeed(level, i));
    return stuck;
}

std::vector<std::string> PlayerBreaches(const std::string& mode, const PlayerResult& result, const Bounds& b,
                                        bool strict)
{
    std::vector<std::string> found;
    const char* who = StyleName(result.player.style);
    for (const LevelStats& s : result.levels)
    {
        if (s.WinRate() < b.minWinRate)
            found.push_back(
                StrFormat("%s %d, %s player: won %.0f%%", mode.c_str(), s.level, who, 100 * s.WinRate()));
        const int unwinnable = s.ends[int(End::Stuck)] + s.ends[int(End::Lost)];
        if (strict && unwinnable)
            found.push_back(StrFormat("%s %d, %s player: became unwinnable in %d trials", mode.c_str(),
                                      s.level, who, unwinnable));
    }
    const std::vector<LevelStats>& planets = result.planets;
    for (size_t p = 1; p < planets.size(); ++p)
    {
        const double before = planets[p - 1].medianMoves, now = planets[p].medianMoves;
        if (planets[p - 1].wins == 0 || planets[p].wins == 0) continue; // a level won too seldom says it
        auto step = [&](const char* kind)
        {
            found.push_back(StrFormat("%s planet %d, %s player: %.0f moves, %s from planet %d's %.0f (x%.2f)",
                                      mode.c_str(), planets[p].level, who, now, kind, planets[p - 1].level,
                                      before, now / before));
        };
        if (now > b.maxPlanetStep * before) step("a cliff up");
        if (before > b.maxPlanetStep * now) step("a drop down");
    }
    if (!planets.empty())
    {
        const LevelStats& last = planets.back();
        if (last.wins == 0)
            found.push_back(StrFormat("%s, %s player: the last planet is never won", mode.c_str(), who));
        else
            for (const LevelStats& p : planets)
                if (p.level != last.level && p.medianMoves > last.medianMoves)
                {
                    found.push_back(
                        StrFormat("%s, %s player: the last planet (%.0f moves) is easier than planet "
                                  "%d (%.0f)",
                                  mode.c_str(), who, last.medianMoves, p.level, p.medianMoves));
                    break;
                }
    }
    const std::string games = GamesMissed(mode, result, b);
    if (strict && !games.empty()) found.push_back(games);
    return found;
}

std::string GamesMissed(const std::string& mode, const PlayerResult& result, const Bounds& b)
{
    const int wins = GamesWon(result.games);
    if (result.games.empty() || wins >= b.minGameWins) return "";
    std::string line = StrFormat("%s, %s player: %d of %zu whole games won", mode.c_str(),
                                 StyleName(result.player.style), wins, result.games.size());
    if (result.levels.empty()) return line;
    double chance = 1;
    for (const LevelStats& s : result.levels)
        chance *= s.WinRate();
    return line + StrFormat(" (its levels' win rates multiply to %.0f%%)", 100 * chance);
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
    std::vector<int> freshStuck; // per level from 1, of the bounds' fresh boards
    std::vector<PlayerResult> players;
};

struct Challenge : ChallengeEntry
{
    std::vector<double> careful, casual, moves;
};

std::string PaceText(const PlayerOptions& player)
{
    if (player.pace > 0) return StrFormat("%.1f s", player.pace);
    return player.style == Style::Greedy ? "1.5 s" : "1 s (Speedblitz) or 1.5 s";
}

bool PlayMode(const std::string& properties, const Mode& mode, const ReportOptions& o, ModeResult& result)
{
    Kavo::GameRulesConfig rules;
    if (!LoadRules(properties + "/" + mode.file, rules)) return false;
    result.name = mode.name;
    result.file = mode.file;
    std::vector<int> levels;
    for (int level = 1; level < EndLevel(rules); ++level)
        levels.push_back(level);
    result.freshStuck.assign(levels.size(), 0);
    RunJobs(int(levels.size()), o.threads,
            [&](int l) {
                result.freshStuck[size_t(l)] =
                    FreshBoardsStuck(rules, levels[size_t(l)], o.bounds.freshBoards);
            });
    for (const PlayerOptions& player : o.players)
    {
        std::fprintf(stderr, "playing %s, %s player\n", mode.name, StyleName(player.style));
        PlayerResult r;
        r.player = player;
        LevelsPlayed played = PlayLevels(rules, levels, o.seeds, o.threads, player, o.moves);
        r.levels = std::move(played.levels);
        r.planets = std::move(played.planets);
        r.games = PlayGames(rules, o.games, o.threads, player, o.gameMoves);
        result.players.push_back(std::move(r));
    }
    return true;
}

double Reach(const std::vector<double>& scores, int medal)
{
    if (scores.empty()) return 0;
    return double(std::count_if(scores.begin(), scores.end(), [&](double s) { return s >= medal; })) /
           scores.size();
}

// Where the levels of a mode break the bounds, one line each; the whole-game aims that the players
// other than the careful one miss go to aims.
std::vector<std::string> Breaches(const ModeResult& mode, const Bounds& b, std::vector<std::string>& aims)
{
    std::vector<std::string> found;
    for (size_t l = 0; l < mode.freshStuck.size(); ++l)
        if (mode.freshStuck[l] > 0)
            found.push_back(StrFormat("%s %zu: %d of %d fresh boards start with no move", mode.name.c_str(),
                                      l + 1, mode.freshStuck[l], b.freshBoards));
    bool strictDone = false;
    for (const PlayerResult& r : mode.players)
    {
        const bool strict = !strictDone && r.player.style == Style::Careful;
        strictDone = strictDone || strict;
        std::vector<std::string> more = PlayerBreaches(mode.name, r, b, strict);
        found.insert(found.end(), more.begin(), more.end());
        if (strict) continue; // its missed games are a breach, found above
        const std::string games = GamesMissed(mode.name, r, b);
        if (!games.empty()) aims.push_back(games);
    }
    return found;
}

std::string SvgName(const ModeResult& mode, const PlayerResult& r)
{
    return "difficulty-" + Kavo::StringToLower(mode.name) + "-" + StyleName(r.player.style) + ".svg";
}

std::string PlayerSection(const ModeResult& mode, const PlayerResult& r)
{
    const char* who = StyleName(r.player.style);
    std::string md =
        StrFormat("### %s, %s player (%s a move)\n\n![%s, %s player](%s)\n\n", mode.name.c_str(), who,
                  PaceText(r.player).c_str(), mode.name.c_str(), who, SvgName(mode, r).c_str());
    md += "| planet | levels | won | median moves | p90 moves | median s | rise "
          "|\n|---|---|---|---|---|---|---|\n";
    for (size_t p = 0; p < r.planets.size(); ++p)
    {
        const LevelStats& s = r.planets[p];
        const int last = std::min(PlanetLastLevel(s.level), int(r.levels.size()));
        const std::string rise = p == 0 || r.planets[p - 1].medianMoves <= 0
                                     ? std::string("")
                                     : StrFormat("x%.2f", s.medianMoves / r.planets[p - 1].medianMoves);
        md += StrFormat("| %d | %d-%d | %.0f%% | %.0f | %.0f | %.0f | %s |\n", s.level,
                        PlanetFirstLevel(s.level), last, 100 * s.WinRate(), s.medianMoves, s.p90Moves,
                        s.medianSeconds, rise.c_str());
    }
    md += "\n| level | won | median moves | p90 moves | median s | p90 s | starts stuck | becomes stuck | "
          "scrambles | not won |\n|---|---|---|---|---|---|---|---|---|---|\n";
    for (const LevelStats& s : r.levels)
        md +=
            StrFormat("| %d | %.0f%% | %.0f | %.0f | %.0f | %.0f | %.0f%% | %.0f%% | %.1f | %s |\n", s.level,
                      100 * s.WinRate(), s.medianMoves, s.p90Moves, s.medianSeconds, s.p90Seconds,
                      100.0 * s.startStuck / std::max(1, s.runs), 100.0 * s.becameStuck / std::max(1, s.runs),
                      double(s.scrambles) / std::max(1, s.runs), NotWon(s).c_str());
    if (!r.games.empty())
    {
        md += "\nWhole games from level 1:\n\n";
        for (size_t g = 0; g < r.games.size(); ++g)
        {
            const GameTrial& game = r.games[g];
            md += StrFormat("- seed %zu: %s at level %d after %d moves (%.0f s), score %d\n", g + 1,
                            EndName(game.end), game.levels.empty() ? 0 : game.levels.back().level, game.moves,
                            game.seconds, game.score);
        }
    }
    return md + "\n";
}

std::string ModeSection(const ModeResult& mode, const Bounds& b)
{
    std::string md = StrFormat("## %s (%s)\n\n", mode.name.c_str(), mode.file.c_str());
    int stuckLevels = 0, most = 0;
    for (int n : mode.freshStuck)
        stuckLevels += n > 0, most = std::max(most, n);
    md += stuckLevels == 0
              ? StrFormat("No level starts with no move on any of %d fresh boards.\n\n", b.freshBoards)
              : StrFormat("%d levels start with no move on some of %d fresh boards (at most %d).\n\n",
                          stuckLevels, b.freshBoards, most);
    if (mode.players.size() > 1)
    {
        // The players side by side, planet by planet.
        md += "| planet | levels |";
        std::string rule = "|---|---|";
        for (const PlayerResult& r : mode.players)
        {
            md += StrFormat(" %s won | %s median moves |", StyleName(r.player.style),
                            StyleName(r.player.style));
            rule += "---|---|";
        }
        md += "\n" + rule + "\n";
        for (size_t p = 0; p < mode.players.front().planets.size(); ++p)
        {
            const int planet = mode.players.front().planets[p].level;
            md += StrFormat("| %d | %d-%d |", planet, PlanetFirstLevel(planet),
                            std::min(PlanetLastLevel(planet), int(mode.players.front().levels.size())));
            for (const PlayerResult& r : mode.players)
                md += StrFormat(" %.0f%% | %.0f |", 100 * r.planets[p].WinRate(), r.planets[p].medianMoves);
            md += "\n";
        }
        md += "\n";
    }
    for (const PlayerResult& r : mode.players)
        md += PlayerSection(mode, r);
    return md;
}
// The curve of a mode: median moves to win per level (dots, with the 90th percentile as a bar),
// per planet (steps), and the win rate (line, right axis).
std::string Plot(const ModeResult& mode, const PlayerResult& result)
{
    const double w = 820, h = 360, left = 60, right = 60, top = 40, bottom = 50;
    const double plotW = w - left - right, plotH = h - top - bottom;
    const int n = int(result.levels.size());
    double most = 10;
    for (const LevelStats& s : result.levels)
        most = std::max(most, s.p90Moves);
    const double step = most > 400 ? 100 : most > 200 ? 50 : most > 80 ? 20 : 10;
    most = std::ceil(most / step) * step;
    auto x = [&](double level) { return left + plotW * (level - 0.5) / n; };
    auto y = [&](double moves) { return top + plotH * (1 - moves / most); };
    auto yRate = [&](double rate) { return top + plotH * (1 - rate); };

    std::string svg =
        StrFormat("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                  "font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%%\" height=\"100%%\" "
                  "fill=\"white\"/>\n",
                  w, h);
    svg += StrFormat("<text x=\"%.0f\" y=\"22\" font-size=\"15\">%s, %s player: moves to win per level and "
                     "planet, and win rate</text>\n",
                     left, mode.name.c_str(), StyleName(result.player.style));
    for (double m = 0; m <= most; m += step)
        svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>"
                         "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.0f</text>\n",
                         left, w - right, y(m), y(m), left - 6, y(m) + 4, m);
    for (int r = 0; r <= 100; r += 25)
        svg += StrFormat("<text x=\"%.1f\" y=\"%.1f\" fill=\"#c0392b\">%d%%</text>\n", w - right + 6,
                         yRate(r / 100.0) + 4, r);
    for (const LevelStats& p : result.planets)
    {
        const double x0 = x(PlanetFirstLevel(p.level) - 0.5),
                     x1 = x(std::min(PlanetLastLevel(p.level), n) + 0.5);
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
    for (const LevelStats& s : result.levels)
    {
        svg += StrFormat("<text x=\"%.1f\" y=\"%.0f\" text-anchor=\"middle\">%d</text>\n", x(s.level),
                         h - bottom + 16, s.level);
        if (s.wins)
            svg += StrFormat("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#7fb3d5\"/>"
                             "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"#1b4f72\"/>\n",
                             x(s.level), x(s.level), y(s.medianMoves), y(s.p90Moves), x(s.level),
                             y(s.medianMoves));
        rate += StrFormat("%s%.1f,%.1f", rate.empty() ? "" : " ", x(s.level), yRate(s.WinRate()));
    }
    svg += StrFormat("<polyline points=\"%s\" fill=\"none\" stroke=\"#c0392b\" stroke-width=\"1.5\"/>\n",
                     rate.c_str());
    svg +=
        StrFormat("<text x=\"%.0f\" y=\"%.0f\" fill=\"#1b4f72\">dots: median moves to win (bar to the 90th "
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
        if (!PlayMode(properties, mode, o, result))
        {
            std::fprintf(stderr, "%s/%s does not load\n", properties.c_str(), mode.file);
            return false;
        }
        modes.push_back(result);
    }
    std::vector<std::string> breaches, aims;
    for (const ModeResult& mode : modes)
    {
        std::vector<std::string> more = Breaches(mode, o.bounds, aims);
        breaches.insert(breaches.end(), more.begin(), more.end());
    }
    const PlayerOptions careful{Style::Careful};
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
        c.careful = ChallengeScores(rules, o.seeds, o.threads, careful, o.moves, &c.moves);
        c.casual = ChallengeScores(rules, o.seeds, o.threads, CasualPlayer(), o.moves);
        if (Reach(c.careful, c.medals[0]) < o.bounds.minWinRate)
            breaches.push_back(StrFormat("challenge %s: bronze in %.0f%%", c.id.c_str(),
                                         100 * Reach(c.careful, c.medals[0])));
    }

    std::string md = "# Difficulty of the levels\n\n";
    md += StrFormat(
        "Made by `scripts/difficulty-report.sh`: every level of the five modes is played from a fresh board "
        "with %d seeds, at most %d moves a level, and %d whole game%s of each mode from level 1 (at most %d "
        "moves a level), by each of these players of `playbot`:\n\n",
        o.seeds, o.moves, o.games, o.games == 1 ? "" : "s", o.gameMoves);
    for (const PlayerOptions& p : o.players)
    {
        const char* what =
            p.style == Style::Careful
                ? "tries every click of both buttons and takes the move worth most for points and the "
                  "level's objective, looking two or three moves ahead when nothing groups"
            : p.style == Style::Greedy
                ? "looks one move ahead only: the click that makes the largest group (a move that "
                  "ends the level first, one that loses the game last), else the click whose moved "
                  "pieces join the most of one colour side by side, not back to a position seen since "
                  "the last group while another is there; ties at random"
            : p.style == Style::Planner
                ? "tries every sequence of two clicks (three where the clicks are few) and takes the "
                  "first click of the one that leaves the position worth most for points and the "
                  "level's objective, nothing further; ties at random"
                : "overlooks half of the clicks and takes the best group among those it sees";
        md += StrFormat("- **%s** (`-player %s`, %s of game time a move): %s.\n", StyleName(p.style),
                        StyleName(p.style), PaceText(p).c_str(), what);
    }
    md +=
        StrFormat("\nEvery challenge is played %d times by the careful and the casual player.\n\n", o.seeds);
    md += StrFormat(
        "Bounds, for each player: every level won in at least %.0f%% of its trials; no planet's median "
        "moves to win more than %.0f times a neighbour's (neither a cliff up from the planet before nor a "
        "drop down from it); the last planet of each mode won, and the hardest (no other planet's median "
        "moves to win above its own). For the careful player also: no trial ending stuck or lost, and at "
        "least %d whole game of each mode won; the other players aim at that too. No level's first board "
        "without a move on any of %d fresh boards (a sliding board that the engine's stuck test finds "
        "stuck, or any board on which no click of either button moves a piece). Every challenge's bronze "
        "medal in at least %.0f%% of the careful player's games.\n\n",
        100 * o.bounds.minWinRate, o.bounds.maxPlanetStep, o.bounds.minGameWins, o.bounds.freshBoards,
        100 * o.bounds.minWinRate);
    if (breaches.empty())
        md += "**Every level and challenge keeps the bounds.**\n\n";
    else
    {
        md += "**Outside the bounds:**\n\n";
        for (const std::string& b : breaches)
            md += "- " + b + "\n";
        md += "\n";
    }
    if (!aims.empty())
    {
        md += "**Whole games short of the aim** (a whole game is won only when every level of the mode is "
              "won in "
              "turn, so its chance is about the product of the levels' win rates, a little more with the "
              "time that "
              "a timed mode carries from level to level):\n\n";
        for (const std::string& a : aims)
            md += "- " + a + "\n";
        md += "\n";
    }
    md += "| mode |";
    std::string rule = "|---|";
    for (const PlayerOptions& p : o.players)
    {
        md += StrFormat(" %s: levels won (lowest / median) | %s: whole games won |", StyleName(p.style),
                        StyleName(p.style));
        rule += "---|---|";
    }
    md += " levels starting with no move |\n" + rule + "---|\n";
    for (const ModeResult& mode : modes)
    {
        md += "| " + mode.name + " |";
        for (const PlayerResult& r : mode.players)
        {
            std::vector<double> rates;
            for (const LevelStats& s : r.levels)
                rates.push_back(s.WinRate());
            md += StrFormat(" %.0f%% / %.0f%% | %d of %zu |", 100 * Percentile(rates, 0), 100 * Median(rates),
                            GamesWon(r.games), r.games.size());
        }
        int stuck = 0;
        for (int n : mode.freshStuck)
            stuck += n > 0;
        md += StrFormat(" %d |\n", stuck);
    }
    md += "\n";
    platform::MakeDirectory(folder);
    for (const ModeResult& mode : modes)
    {
        md += ModeSection(mode, o.bounds);
        for (const PlayerResult& r : mode.players)
            if (!platform::WriteFileAtomically(folder + "/" + SvgName(mode, r), Plot(mode, r))) return false;
    }
    md += "## Challenges\n\nMedal scores from the grids; how many games of the careful and of the casual "
          "player "
          "(2 s a move, overlooking half of the clicks) reach each medal.\n\n"
          "| challenge | file | bronze | silver | gold | ultra | careful median | careful best | casual "
          "median | "
          "careful reaches | casual reaches | median moves "
          "|\n|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const Challenge& c : challenges)
    {
        auto reaches = [&](const std::vector<double>& scores)
        {
            return StrFormat("%.0f / %.0f / %.0f / %.0f%%", 100 * Reach(scores, c.medals[0]),
                             100 * Reach(scores, c.medals[1]), 100 * Reach(scores, c.medals[2]),
                             100 * Reach(scores, c.medals[3]));
        };
        md += StrFormat("| %s | %s | %d | %d | %d | %d | %.0f | %.0f | %.0f | %s | %s | %.0f |\n",
                        c.id.c_str(), c.file.c_str(), c.medals[0], c.medals[1], c.medals[2], c.medals[3],
                        Median(c.careful), Percentile(c.careful, 1), Median(c.casual),
                        reaches(c.careful).c_str(), reaches(c.casual).c_str(), Median(c.moves));
    }
    return platform::WriteFileAtomically(folder + "/difficulty.md", md);
}

} // namespace PlayBot
