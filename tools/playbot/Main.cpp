// playbot: plays rules files headless through the rules engine, as a careful, a greedy or a
// casual player at the board screen would, over many seeds, and tells how each level plays. See
// Usage below.
#include "base/StringUtils.h"
#include "tools/playbot/Report.h"
#include "tools/playbot/Stats.h"
#include "tools/playbot/Trial.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace PlayBot;

const char* const kUsage =
    "usage: playbot [options] <rules file> ...\n"
    "  Plays every level of each rules file from a fresh board and prints, per level, the win rate,\n"
    "  the median and 90th-percentile moves and game seconds to win, how often the board started or\n"
    "  became stuck, the scrambles per trial and how the other trials ended.\n"
    "options:\n"
    "  -seeds N       trials per level (default 20)\n"
    "  -moves N       moves a trial may make on one level (default 600)\n"
    "  -levels A[-B]  only these levels\n"
    "  -games N       also play N whole games from level 1 (default 0; 5 in a report)\n"
    "  -boards N      also tell how many of N fresh first boards of each level have no move\n"
    "                 (default 0; 100 in a report)\n"
    "  -pace S        game seconds one move takes (default 1.5; the careful and the casual player\n"
    "                 take 1 in Speedblitz)\n"
    "  -player P      careful (default), greedy (the move with the largest group now, else any),\n"
    "                 casual or planner (the first move of the best sequence of two, three where\n"
    "                 the clicks are few); in a report, only that player instead of the careful\n"
    "                 and the greedy one\n"
    "  -depth N       look-ahead of the careful player when nothing groups (default 3)\n"
    "  -threads N     threads (default: every core)\n"
    "  -medals        for challenges: the scores of both players over the seeds, to set medal scores\n"
    "  -report DIR    the difficulty report of every mode and challenge, from the rules files of the\n"
    "                 properties folder named as the one file, written into DIR\n";

struct Options
{
    int seeds = 20;
    int moves = 600;
    int firstLevel = 1, lastLevel = 40;
    int games = 0;
    int threads = int(std::thread::hardware_concurrency());
    bool medals = false;
    bool playerChosen = false;
    int boards = 0;
    std::string report;
    PlayerOptions player;
};

void PrintLevels(const std::string& file, const Kavo::GameRulesConfig& rules, const Options& o)
{
    std::vector<int> levels;
    for (int level = o.firstLevel; level < std::min(EndLevel(rules), o.lastLevel + 1); ++level)
        levels.push_back(level);
    const LevelsPlayed played = PlayLevels(rules, levels, o.seeds, o.threads, o.player, o.moves);
    std::printf("%s: %d trials a level, at most %d moves, %.2f s a move\n%s%s", file.c_str(), o.seeds,
                o.moves, o.player.pace > 0 ? o.player.pace : ModePace(rules, o.player.style),
                LevelTable(played.levels, "level").c_str(), LevelTable(played.planets, "planet").c_str());
    if (o.boards > 0)
    {
        std::string stuck;
        for (int level : levels)
            if (const int n = FreshBoardsStuck(rules, level, o.boards))
                stuck += Kavo::StrFormat(" level %d: %d;", level, n);
        std::printf("fresh boards with no move (of %d a level):%s\n", o.boards,
                    stuck.empty() ? " none" : stuck.c_str());
    }
    if (o.games < 1) return;
    std::printf("%s", GameTable(PlayGames(rules, o.games, o.threads, o.player, o.moves)).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool value = i + 1 < argc;
        if (arg == "-seeds" && value)
            o.seeds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "-moves" && value)
            o.moves = std::max(1, std::atoi(argv[++i]));
        else if (arg == "-games" && value)
            o.games = std::max(0, std::atoi(argv[++i]));
        else if (arg == "-boards" && value)
            o.boards = std::max(0, std::atoi(argv[++i]));
        else if (arg == "-pace" && value)
            o.player.pace = std::atof(argv[++i]);
        else if (arg == "-depth" && value)
            o.player.depth = std::atoi(argv[++i]);
        else if (arg == "-threads" && value)
            o.threads = std::max(1, std::atoi(argv[++i]));
        else if (arg == "-player" && value)
        {
            if (!StyleFromName(argv[++i], o.player.style)) return std::fprintf(stderr, "%s", kUsage), 2;
            o.playerChosen = true;
        }
        else if (arg == "-levels" && value)
        {
            const char* range = argv[++i];
            o.firstLevel = o.lastLevel = std::atoi(range);
            if (const char* dash = std::strchr(range, '-')) o.lastLevel = std::atoi(dash + 1);
        }
        else if (arg == "-medals")
            o.medals = true;
        else if (arg == "-report" && value)
            o.report = argv[++i];
        else if (!arg.empty() && arg[0] == '-')
            return std::fprintf(stderr, "%s", kUsage), 2;
        else
            files.push_back(arg);
    }
    if (files.empty() || (!o.report.empty() && files.size() != 1))
        return std::fprintf(stderr, "%s", kUsage), 2;

    TrialClock clock;
    if (!o.report.empty())
    {
        ReportOptions r;
        r.seeds = o.seeds;
        r.moves = o.moves;
        r.threads = o.threads;
        if (o.games > 0) r.games = o.games;
        if (o.playerChosen) r.players = {o.player};
        for (PlayerOptions& player : r.players)
            player.pace = o.player.pace, player.depth = o.player.depth;
        if (o.boards > 0) r.bounds.freshBoards = o.boards;
        return WriteReport(files[0], o.report, r) ? 0 : 1;
    }
    int status = 0;
    for (const std::string& file : files)
    {
        Kavo::GameRulesConfig rules;
        if (!LoadRules(file, rules))
        {
            std::fprintf(stderr, "%s: does not load\n", file.c_str());
            status = 1;
            continue;
        }
        if (o.medals)
            std::printf("%s", MedalTable(file, rules, o.seeds, o.threads).c_str());
        else
            PrintLevels(file, rules, o);
        std::fflush(stdout);
    }
    return status;
}
