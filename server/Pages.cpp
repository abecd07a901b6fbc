#include "server/Pages.h"

#include <ctime>

namespace pondlark::scores {

namespace {

// The game's own colours: the calm dark water behind its menus, gold edges, cream words.
constexpr std::string_view kStyle = R"(<style>
:root{color-scheme:dark}
body{margin:0;min-height:100vh;background:linear-gradient(#1f5f66,#12383a 60%);color:#fff3c8;
font-family:"Comic Neue","Comic Sans MS","Chalkboard SE",cursive,sans-serif;font-size:17px}
main{max-width:44rem;margin:0 auto;padding:1rem .6rem 2rem}
h1{color:#ffc825;text-align:center;font-size:2rem;margin:.4rem 0 .2rem;
text-shadow:2px 2px 0 #3a2212}
p.sub{text-align:center;margin:0 0 1rem;color:#c8ee6a}
.panel{background:#12383a;border:3px solid #ffc825;border-radius:14px;
box-shadow:0 0 0 3px #b26d10;padding:.4rem;overflow-x:auto}
table{width:100%;border-collapse:collapse}
th{color:#ffc825;text-align:left;font-size:.9rem;padding:.35rem .4rem;border-bottom:2px solid #b26d10}
td{padding:.35rem .4rem;border-bottom:1px solid #1f5f66;overflow-wrap:anywhere}
tbody tr:nth-child(odd){background:#174a4d}
td.rank{color:#ffc825;font-weight:bold;width:2.2rem;text-align:right}
td.score{text-align:right;font-weight:bold;color:#9ad94f}
th.score{text-align:right}
td.date{white-space:nowrap;font-size:.85rem;color:#5fb0a4}
.empty{text-align:center;padding:1.5rem}
a{color:#ffc825}
p.switch{text-align:center;margin:0 0 .6rem;font-size:.9rem}
td.replay{white-space:nowrap;font-size:.85rem}
footer{text-align:center;margin-top:1rem;font-size:.85rem;color:#5fb0a4}
@media (max-width:30rem){body{font-size:15px}th,td{padding:.3rem .2rem}h1{font-size:1.6rem}}
</style>)";

std::string PageHead(std::string_view title) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
                       "<title>";
    html += title;
    html += "</title>\n";
    html += kStyle;
    html += "\n</head><body><main>\n";
    return html;
}

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7F)
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
    return out;
}

std::string JsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '<' || c == '>' || c == '&') {
            // Harmless in JSON, but a client that pastes the text into a page stays safe.
            out += c == '<' ? "\\u003c" : c == '>' ? "\\u003e" : "\\u0026";
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += byte < 0x20 ? "\\u00" : "\\ufffd";
            if (byte < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::string LogSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string UtcTime(int64_t unixSeconds, const char* format) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return "?";
    char text[64];
    if (std::strftime(text, sizeof text, format, &tm) == 0) return "?";
    return text;
}

std::string DateOf(int64_t unixSeconds) {
    return UtcTime(unixSeconds, "%Y-%m-%d");
}

std::string ReplayPath(int64_t replayId) {
    return "/api/replays/" + std::to_string(replayId);
}

std::string TablePage(const std::vector<TScoreRow>& rows, bool all) {
    std::string html = PageHead("Pondlark: the best frogs");
    html += "<h1>Pondlark</h1>\n<p class=\"sub\">The best frogs of every pond</p>\n";
    // The switch between the two views: a plain link, as the page runs no script.
    html += all ? "<p class=\"switch\">Every result sent. <a href=\"" +
                      HtmlEscape(std::string(kTablePath)) +
                      "\">Show only the results proven by their replay</a></p>\n"
                : "<p class=\"switch\">Results proven by their replay. <a href=\"" +
                      HtmlEscape(std::string(kTablePath) + "&all=1") +
                      "\">Show every result sent</a></p>\n";
    html += "<div class=\"panel\">\n";
    if (rows.empty()) {
        html += "<p class=\"empty\">No results yet. Play a game and send yours!</p>\n";
    } else {
        html += "<table>\n<thead><tr><th>#</th><th>Name</th><th>Country</th>"
                "<th class=\"score\">Score</th><th>Date</th><th>Replay</th></tr></thead>\n"
                "<tbody>\n";
        int rank = 0;
        for (const TScoreRow& row : rows) {
            std::string replay = "&ndash;";
            if (row.verified && row.replayId > 0) {
                const std::string id = std::to_string(row.replayId);
                replay = "<a href=\"" + ReplayPath(row.replayId) +
                         "\" download>file</a> <a href=\"/play/?replay=" + id + "\">watch</a>";
            }
            html += "<tr><td class=\"rank\">" + std::to_string(++rank) +
                    "</td><td class=\"name\">" + HtmlEscape(row.Name) +
                    "</td><td class=\"country\">" + HtmlEscape(row.Country) +
                    "</td><td class=\"score\">" + std::to_string(row.Score) +
                    "</td><td class=\"date\">" + DateOf(row.stored) + "</td><td class=\"replay\">" +
                    replay + "</td></tr>\n";
        }
        html += "</tbody>\n</table>\n";
    }
    html += "</div>\n<footer><a href=\"/\">About Pondlark</a> &middot; (c) Tallowgate Games"
            "</footer>\n</main></body></html>\n";
    return html;
}

std::string ScoresJson(const std::vector<TScoreRow>& rows) {
    std::string json = "{\"scores\":[";
    int rank = 0;
    for (const TScoreRow& row : rows) {
        if (rank > 0) json += ',';
        json += "{\"rank\":" + std::to_string(++rank) + ",\"name\":\"" + JsonEscape(row.Name) +
                "\",\"country\":\"" + JsonEscape(row.Country) +
                "\",\"score\":" + std::to_string(row.Score) + ",\"date\":\"" + DateOf(row.stored) +
                "\",\"verified\":" + (row.verified ? "true" : "false");
        if (row.verified && row.replayId > 0)
            json += ",\"replay\":\"" + ReplayPath(row.replayId) + "\"";
        json += "}";
    }
    json += "]}\n";
    return json;
}

std::string HomePage() {
    std::string html = PageHead("Pondlark");
    html += "<h1>Pondlark</h1>\n<p class=\"sub\">An arcade game about a young frog</p>\n"
            "<div class=\"panel\" style=\"padding:1rem\">\n"
            "<p>Every level has two stages. In <b>the pond</b> you cross a scrolling pond of "
            "water lilies to the mossy stone at the left bank: plain lilies sink and come back, "
            "hunter lilies snap shut on a frog that lingers, springy lilies throw you two rows "
            "ahead, sticky lilies hold you, and some lilies hide a crocodile. Every jump makes "
            "you hungrier.</p>\n"
            "<p>In <b>the feast</b>, on the shore at evening, you shoot your tongue at midges, "
            "flies, mosquitoes, pond skaters and bees while a stork may strike from above.</p>\n"
            "<p>You have three lives. Store a good result with <b>Send result</b> ticked and it "
            "comes here, to the table every player shares.</p>\n"
            "<p><b>Getting the game:</b> Pondlark runs on the Linux desktop. Build it from its "
            "source with <code>scripts/play</code>, which installs what it needs on Debian and "
            "starts the game.</p>\n"
            "<p style=\"text-align:center;font-size:1.2rem\"><a href=\"";
    html += HtmlEscape(kTablePath);
    html += "\">The best frogs: the online table</a></p>\n</div>\n"
            "<footer>(c) Tallowgate Games</footer>\n</main></body></html>\n";
    return html;
}

} // namespace pondlark::scores
