// The page of the boards, made by the server: plain HTML, no script, every
// name escaped, each entry with a link that watches its run in the browser
// build. A page holds a bounded number of boards and entries, each board read
// by a query whose cost does not grow with its runs, so a board with many
// stages and runs answers as fast as a small one.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "board/text.h"
#include "game/score.h"

namespace {

struct Heading {
    std::string hash, heading;
    // The browser build holds the official stages only: a custom stage's
    // run would play on the official stage of its number, so it has no link.
    bool watchable;
};

// The boards of the page: the official stages first, then the custom stages
// with runs. False when the store fails; *more tells whether a page follows.
bool BoardsOfPage(Board* board, int page, std::vector<Heading>* boards, bool* more)
{
    std::vector<Heading> official;
    {
        std::lock_guard<std::mutex> hold(board->stages.lock);
        for (int n = 1; n <= STAGE_COUNT; n++)
            for (const auto& known : board->stages.stages)
                if (known.second.official && known.second.number == n)
                    official.push_back({HashText(known.first), "Stage " + std::to_string(n), true});
    }
    long long start = (long long)(page - 1) * PAGE_BOARDS, end = start + PAGE_BOARDS;
    long long officials = (long long)official.size();
    for (long long i = start; i < end && i < officials; i++) boards->push_back(official[(size_t)i]);
    long long from = std::max(start, officials);
    // One more than the page holds, to know whether another page follows.
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "custom_boards", {StoreInt(end - from + 1), StoreInt(from - officials)}, &rows))
        return false;
    *more = (long long)rows.size() > end - from;
    for (size_t i = 0; i < rows.size() && (long long)i < end - from; i++)
        boards->push_back({rows[i][0], "Custom stage " + rows[i][0], false});
    return true;
}

std::string PageLink(int page, const char* words)
{
    return "<a href=\"/?page=" + std::to_string(page) + "\">" + words + "</a>";
}

}  // namespace

bool BoardPage(Board* board, int page, std::string* html)
{
    std::vector<Heading> boards;
    bool more = false;
    if (!BoardsOfPage(board, page, &boards, &more)) return false;
    *html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width\"><title>Prismveldt records</title>"
        "<style>body{font-family:sans-serif;max-width:44em;margin:2em auto;padding:0 1em}"
        "table{border-collapse:collapse;width:100%}td,th{padding:.2em .6em;text-align:left}"
        "tr:nth-child(even){background:#eef}td.t{text-align:right;font-variant-numeric:tabular-nums}"
        "</style></head><body>\n<h1>Prismveldt records</h1>\n"
        "<p>Every run here was played again by the board through the game's own rules before it was "
        "ranked.</p>\n";
    if (boards.empty()) *html += "<p>No boards on this page.</p>\n";
    for (const auto& b : boards) {
        std::vector<BoardEntry> entries;
        if (!ReadBoardTop(board, b.hash, PAGE_ENTRIES, &entries)) return false;
        *html += "<h2>" + HtmlEscape(b.heading) + "</h2>\n";
        if (entries.empty()) {
            *html += "<p>No runs yet.</p>\n";
            continue;
        }
        *html += "<table><tr><th>Rank</th><th>Name</th><th>Time</th><th></th></tr>\n";
        for (const BoardEntry& e : entries) {
            TimeText shown = FormatRunTime((uint32_t)e.timeMs);
            std::string watch = b.watchable ? "<a href=\"/play/?run=" + std::to_string(e.run) + "\">Watch</a>" : "";
            *html += "<tr><td>" + std::to_string(e.rank) + "</td><td>" + HtmlEscape(e.name) + "</td><td class=\"t\">" +
                     shown.clock + shown.fraction + "</td><td>" + watch + "</td></tr>\n";
        }
        *html += "</table>\n";
        if (!b.watchable) *html += "<p>Runs of custom stages cannot be watched in the browser.</p>\n";
        if (entries.size() == PAGE_ENTRIES)
            *html += "<p>The fastest " + std::to_string(PAGE_ENTRIES) + "; <a href=\"/api/v1/boards/" + b.hash +
                     "?limit=1000\">more of this board</a>.</p>\n";
    }
    if (page > 1 || more) {
        *html += "<p>";
        if (page > 1) *html += PageLink(page - 1, "Earlier boards");
        if (page > 1 && more) *html += " &middot; ";
        if (more) *html += PageLink(page + 1, "More boards");
        *html += "</p>\n";
    }
    *html += "</body></html>\n";
    return true;
}
