#include "app/TScriptRunner.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

namespace pondlark {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

int ParseInt(const TScriptLine& line, size_t index) {
    if (index >= line.words.size())
        throw ScriptError("line " + std::to_string(line.number) + ": missing number");
    const std::string& w = line.words[index];
    int value = 0;
    auto [ptr, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (ec != std::errc() || ptr != w.data() + w.size())
        throw ScriptError("line " + std::to_string(line.number) + ": '" + w + "' is not a number");
    return value;
}

MouseButton ParseButton(const TScriptLine& line, size_t index) {
    if (index >= line.words.size()) return MouseButton::Left;
    const std::string b = Lower(line.words[index]);
    if (b == "left") return MouseButton::Left;
    if (b == "right") return MouseButton::Right;
    throw ScriptError("line " + std::to_string(line.number) + ": unknown button '" + b + "'");
}

void Expect(const TScriptLine& line, size_t min, size_t max) {
    const size_t n = line.words.size() - 1;
    if (n < min || n > max)
        throw ScriptError("line " + std::to_string(line.number) + ": '" + line.words[0] +
                          "' takes " + std::to_string(min) +
                          (min == max ? "" : " to " + std::to_string(max)) + " argument(s)");
}

} // namespace

TKeyName ParseKeyName(const std::string& full) {
    TKeyName key;
    std::string name = full;
    for (;;) {
        const auto plus = name.find('+');
        if (plus == std::string::npos || plus + 1 >= name.size()) break;
        const std::string mod = Lower(name.substr(0, plus));
        if (mod == "alt")
            key.alt = true;
        else if (mod == "ctrl")
            key.ctrl = true;
        else if (mod == "shift")
            key.shift = true;
        else
            throw ScriptError("unknown modifier '" + mod + "'");
        name = name.substr(plus + 1);
    }
    static const std::map<std::string, int> named = {
        {"escape", vk::Escape}, {"return", vk::Return},  {"enter", vk::Return},
        {"space", vk::Space},   {"left", vk::Left},      {"right", vk::Right},
        {"up", vk::Up},         {"down", vk::Down},      {"backspace", vk::Back},
        {"tab", vk::Tab},       {"ctrl", vk::Control},   {"control", vk::Control},
        {"delete", vk::Delete}, {"minus", vk::OemMinus}, {"period", vk::OemPeriod},
        {"pageup", vk::Prior},  {"pagedown", vk::Next}};
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c)) {
            key.vk = std::toupper(c);
            if (std::isupper(c)) key.shift = true;
            return key;
        }
        if (std::isdigit(c)) {
            key.vk = c;
            return key;
        }
        if (c == ' ') {
            key.vk = vk::Space;
            return key;
        }
        if (c == '-') {
            key.vk = vk::OemMinus;
            return key;
        }
        if (c == '.') {
            key.vk = vk::OemPeriod;
            return key;
        }
    }
    auto it = named.find(Lower(name));
    if (it == named.end()) throw ScriptError("unknown key '" + full + "'");
    key.vk = it->second;
    return key;
}

bool PadButton(ControllerState& pad, const std::string& name) {
    const std::map<std::string, bool*> buttons = {
        {"a", &pad.south},     {"b", &pad.east},       {"x", &pad.west},  {"y", &pad.north},
        {"start", &pad.start}, {"back", &pad.back},    {"dpup", &pad.up}, {"dpdown", &pad.down},
        {"dpleft", &pad.left}, {"dpright", &pad.right}};
    const auto it = buttons.find(name);
    if (it == buttons.end()) return false;
    *it->second = true;
    return true;
}

std::vector<TScriptLine> ParseScript(const std::string& text) {
    static const std::map<std::string, std::pair<size_t, size_t>> arity = {
        {"seed", {1, 1}},     {"wait", {1, 1}},    {"key", {1, 1}},   {"keydown", {1, 1}},
        {"keyup", {1, 1}},    {"type", {1, 99}},   {"move", {2, 2}},  {"click", {2, 3}},
        {"press", {2, 3}},    {"release", {2, 3}}, {"focus", {1, 1}}, {"close", {0, 0}},
        {"maximize", {0, 0}}, {"shot", {1, 1}},    {"pad", {1, 1}}};
    std::vector<TScriptLine> out;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        const auto hash = raw.find('#');
        if (hash != std::string::npos) raw.resize(hash);
        TScriptLine line{number, {}};
        std::istringstream words(raw);
        for (std::string w; words >> w;)
            line.words.push_back(w);
        if (line.words.empty()) continue;
        line.words[0] = Lower(line.words[0]);
        auto it = arity.find(line.words[0]);
        if (it == arity.end())
            throw ScriptError("line " + std::to_string(number) + ": unknown command '" +
                              line.words[0] + "'");
        Expect(line, it->second.first, it->second.second);
        const std::string& cmd = line.words[0];
        // Check arguments now, so a bad script fails before anything runs.
        if (cmd == "seed" || cmd == "wait") ParseInt(line, 1);
        if (cmd == "key" || cmd == "keydown" || cmd == "keyup") {
            try {
                ParseKeyName(line.words[1]);
            } catch (const ScriptError& e) {
                throw ScriptError("line " + std::to_string(number) + ": " + e.what());
            }
        }
        if (cmd == "move" || cmd == "click" || cmd == "press" || cmd == "release") {
            ParseInt(line, 1);
            ParseInt(line, 2);
            ParseButton(line, 3);
        }
        if (cmd == "pad") {
            line.words[1] = Lower(line.words[1]);
            ControllerState probe;
            if (!PadButton(probe, line.words[1]))
                throw ScriptError("line " + std::to_string(number) + ": unknown button '" +
                                  line.words[1] + "'");
        }
        if (cmd == "focus" && line.words[1] != "in" && line.words[1] != "out")
            throw ScriptError("line " + std::to_string(number) + ": focus takes 'in' or 'out'");
        if (cmd == "type") {
            // Keep the spaces between words: the rest of the raw line is the text.
            const auto start = raw.find_first_not_of(" \t", raw.find("type") + 4);
            std::string t = raw.substr(start);
            while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
                t.pop_back();
            line.words = {"type", t};
        }
        out.push_back(std::move(line));
    }
    return out;
}

uint32_t TScriptRunner::SeedOf(const std::vector<TScriptLine>& script, bool& found) {
    found = false;
    uint32_t seed = 0;
    for (const auto& line : script)
        if (line.words[0] == "seed") {
            seed = static_cast<uint32_t>(ParseInt(line, 1));
            found = true;
        }
    return seed;
}

void TScriptRunner::RunOneFrame() {
    const uint64_t before = form_.FrameCount();
    // A frame is due at most 30 ms from now; give up after a second of game time (the display
    // may be down, in which case no frame comes).
    for (int ms = 0; ms < 1000 && form_.FrameCount() == before && !form_.Terminated(); ++ms) {
        form_.Pump();
        if (form_.FrameCount() != before) break;
        platform_.Advance(1);
    }
    form_.Pump(); // deliver anything queued after the frame
}

void TScriptRunner::FinishTransfer() {
    // The transfer runs on its own thread in real time, bounded by the client's time-outs;
    // the script's clock stands meanwhile, so a script that sends a result always sends it.
    while (form_.SendingResult() && !form_.Terminated()) {
        form_.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    form_.Pump();
}

void TScriptRunner::Tap(const TKeyName& key) {
    Key(key, true);
    RunOneFrame();
    Key(key, false);
    form_.Pump();
}

void TScriptRunner::Key(const TKeyName& key, bool down) {
    if (down)
        platform_.KeyDown(key.vk, key.alt, key.ctrl, key.shift);
    else
        platform_.KeyUp(key.vk, key.alt, key.ctrl, key.shift);
}

void TScriptRunner::Run(const std::vector<TScriptLine>& script) {
    for (const auto& line : script) {
        if (form_.Terminated()) break;
        const std::string& cmd = line.words[0];
        if (cmd == "seed") continue;
        if (cmd == "wait") {
            FinishTransfer();
            form_.RunFor(static_cast<uint64_t>(ParseInt(line, 1)));
        } else if (cmd == "key") {
            Tap(ParseKeyName(line.words[1]));
        } else if (cmd == "keydown" || cmd == "keyup") {
            Key(ParseKeyName(line.words[1]), cmd == "keydown");
            form_.Pump();
        } else if (cmd == "type") {
            for (char c : line.words[1])
                Tap(ParseKeyName(std::string(1, c)));
        } else if (cmd == "move") {
            platform_.MouseMove(ParseInt(line, 1), ParseInt(line, 2));
            form_.Pump();
        } else if (cmd == "click" || cmd == "press" || cmd == "release") {
            const int x = ParseInt(line, 1), y = ParseInt(line, 2);
            const MouseButton b = ParseButton(line, 3);
            if (cmd == "click" || cmd == "press") {
                platform_.MouseMove(x, y);
                platform_.MouseDown(x, y, b);
                form_.Pump();
            }
            if (cmd == "click") RunOneFrame();
            if (cmd == "click" || cmd == "release") {
                platform_.MouseUp(x, y, b);
                form_.Pump();
            }
        } else if (cmd == "pad") {
            ControllerState pad;
            PadButton(pad, line.words[1]);
            platform_.SetController(pad);
            RunOneFrame();
            platform_.SetController({});
            form_.Pump();
        } else if (cmd == "focus") {
            platform_.Focus(line.words[1] == "in");
            form_.Pump();
        } else if (cmd == "close") {
            platform_.CloseBox();
            form_.Pump();
        } else if (cmd == "maximize") {
            platform_.Maximize();
            form_.Pump();
        } else if (cmd == "shot") {
            if (onShot_) onShot_(line.words[1], platform_.LastFrame());
        }
    }
}

} // namespace pondlark
