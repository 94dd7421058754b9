// The page of every board, made by the server: plain HTML, no script, every
// name escaped, each entry with a link that watches its run in the browser
// build.
#include <cstdio>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/text.h"
#include "game/score.h"

std::string BoardPage(Board* board)
{
    // The official stages first, then every other stage with runs.
    std::vector<std::pair<std::string, std::string>> boards;  // hash, heading
    {
        std::lock_guard<std::mutex> hold(board->stages.lock);
        for (int n = 1; n <= STAGE_COUNT; n++)
            for (const auto& known : board->stages.stages)
                if (known.second.official && known.second.number == n)
                    boards.push_back({HashText(known.first), "Stage " + std::to_string(n)});
    }
    std::vector<StoreRow> rows;
    StoreRun(board->store, "board_hashes", {}, &rows);
    for (const StoreRow& row : rows) {
        bool listed = false;
        for (const auto& b : boards) listed = listed || b.first == row[0];
        if (!listed) boards.push_back({row[0], "Custom stage " + row[0]});
    }
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width\"><title>Prismveldt records</title>"
        "<style>body{font-family:sans-serif;max-width:44em;margin:2em auto;padding:0 1em}"
        "table{border-collapse:collapse;width:100%}td,th{padding:.2em .6em;text-align:left}"
        "tr:nth-child(even){background:#eef}td.t{text-align:right;font-variant-numeric:tabular-nums}"
        "</style></head><body>\n<h1>Prismveldt records</h1>\n"
        "<p>Every run here was played again by the board through the game's own rules before it was "
        "ranked.</p>\n";
    for (const auto& b : boards) {
        std::vector<BoardEntry> entries;
        ReadBoard(board, b.first, &entries);
        html += "<h2>" + HtmlEscape(b.second) + "</h2>\n";
        if (entries.empty()) {
            html += "<p>No runs yet.</p>\n";
            continue;
        }
        html += "<table><tr><th>Rank</th><th>Name</th><th>Time</th><th></th></tr>\n";
        for (size_t i = 0; i < entries.size() && i < 100; i++) {
            const BoardEntry& e = entries[i];
            TimeText shown = FormatRunTime((uint32_t)e.timeMs);
            html += "<tr><td>" + std::to_string(e.rank) + "</td><td>" + HtmlEscape(e.name) +
                    "</td><td class=\"t\">" + shown.clock + shown.fraction + "</td><td><a href=\"/play/?run=" +
                    std::to_string(e.run) + "\">Watch</a></td></tr>\n";
        }
        html += "</table>\n";
    }
    return html + "</body></html>\n";
}
