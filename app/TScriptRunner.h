// Drives the real game on the headless platform from a small text script, one command a line
// (`#` starts a comment):
//   seed N | wait MS | key NAME | keydown NAME | keyup NAME | type TEXT
//   move X Y | click X Y [left|right] | press X Y [left|right] | release X Y [left|right]
//   focus out | focus in | close | maximize | shot NAME.png | pad BUTTON
// Key names: Escape Return space Left Right Up Down BackSpace Tab, letters, digits, with
// optional modifiers in front (alt+Return, ctrl+space, shift+a).
// `key` presses, runs one frame and releases, so per-frame input states see the press; `pad`
// does the same with a controller button (a b x y start back dpup dpdown dpleft dpright).
// A `wait` while a result is being sent first lets the transfer finish in real time (bounded
// by the client's time-outs), with the script's clock standing, so the result is always sent.
#pragma once

#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pondlark {

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TScriptLine {
    int number = 0;
    std::vector<std::string> words;
};

// Splits a script into commands; throws ScriptError naming the line for an unknown command or
// a malformed argument.
std::vector<TScriptLine> ParseScript(const std::string& text);

struct TKeyName {
    int vk = 0;
    bool alt = false, ctrl = false, shift = false;
};
// Throws ScriptError for a name that is no key.
TKeyName ParseKeyName(const std::string& name);

// Holds the named controller button down in `pad`; false for a name that is no button.
bool PadButton(ControllerState& pad, const std::string& name);

class TScriptRunner {
public:
    // The form must have been built on `platform`; both outlive the runner. `onShot` receives
    // the file name and the presented frame (800x600, 0x00RRGGBB).
    TScriptRunner(HeadlessPlatform& platform, TMainForm& form,
                  std::function<void(const std::string&, const std::vector<uint32_t>&)> onShot)
        : platform_(platform), form_(form), onShot_(std::move(onShot)) {}

    // `seed` lines are applied before start-up; the rest run after it.
    static uint32_t SeedOf(const std::vector<TScriptLine>& script, bool& found);
    void Run(const std::vector<TScriptLine>& script);
    void RunOneFrame();

private:
    void Key(const TKeyName& key, bool down);
    // A result being sent: its transfer finishes in real time before the script goes on.
    void FinishTransfer();
    // A quick tap: down, one frame, up.
    void Tap(const TKeyName& key);

    HeadlessPlatform& platform_;
    TMainForm& form_;
    std::function<void(const std::string&, const std::vector<uint32_t>&)> onShot_;
};

} // namespace pondlark
