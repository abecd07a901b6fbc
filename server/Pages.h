// What the service shows: the public table as an HTML page and as JSON, and the home page.
//
// Pages stand alone (inline CSS, no scripts, fonts or pictures from elsewhere) and fit a phone's
// screen. Every stored text passes through HtmlEscape or JsonEscape: names are checked when
// results arrive, but a page never trusts the database to have been filled by this service.
#pragma once

#include "server/ScoreStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pondlark::scores {

// & < > " ' as character references; bytes outside printable ASCII as U+FFFD, so a page is
// always valid UTF-8 whatever a row holds.
std::string HtmlEscape(std::string_view text);
// A JSON string body: quotes, backslashes and control characters escaped, < > & as \u003c
// \u003e \u0026, bytes outside printable ASCII as \ufffd.
std::string JsonEscape(std::string_view text);
// Printable ASCII stays; anything else (and the quote and backslash) as \xHH, so that a text
// from a client or a child process is always within one line of the log.
std::string LogSafe(std::string_view text);
// The time in UTC as strftime's `format` writes it (at most 63 characters); "?" when it
// cannot be written.
std::string UtcTime(int64_t unixSeconds, const char* format);
// "YYYY-MM-DD" in UTC.
std::string DateOf(int64_t unixSeconds);

// The table page: rank, name, country, score and date of each row, in the given order, and for
// a verified row links to download its replay and to watch it in the browser game. `all`: the
// rows are every result (else the verified ones); the page links to the other view.
std::string TablePage(const std::vector<TScoreRow>& rows, bool all);
// {"scores":[{"rank":1,"name":"...","country":"...","score":N,"date":"YYYY-MM-DD",
// "verified":true,"replay":"/api/replays/ID"},...]} ("replay" only on verified rows).
std::string ScoresJson(const std::vector<TScoreRow>& rows);
// Where a verified result's replay is downloaded.
std::string ReplayPath(int64_t replayId);
// What the game is, how to get it, and a link to the table.
std::string HomePage();

// The table page's address on the service, as the game opens it.
inline constexpr std::string_view kTablePath = "/cgi/version.pl?prg=Pondlark&type=0&show";

} // namespace pondlark::scores
