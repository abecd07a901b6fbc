// What the menu screens may reach beyond a stage's host: the menus' commands (display mode,
// sound and music switches, the exit and clear questions, the name entry and its send box),
// the default table, sending a result, the web pages, quitting, and the two text entries.
//
// The main window implements it and outlives every screen.
#pragma once

#include "game/StageHost.h"

#include <string>

namespace pondlark {

class IMenuHost : public IStageHost {
public:
    // The command flags' switches (each toggles its flag in State().Flags and does what comes
    // with it).
    // Window / full screen; a refused mode raises and leaves the display released.
    virtual void GameFullScreenClick() = 0;
    virtual void GameSoundClick() = 0;
    virtual void GameMusicClick() = 0;
    // The exit question, in the main menu and the two play stages only.
    virtual void GameMainExitClick() = 0;
    // The name panel of the game-over scene.
    virtual void GameEnterNameClick() = 0;
    virtual void GameSendResultClick() = 0;
    virtual void GameClearHighScoreClick() = 0;

    // The default table, then the high-score screen.
    virtual void ResetHighScores() = 0;
    // Starts sending the typed name with the score and the typed country to the web service
    // and returns at once; the table is saved first. While it runs `SendingResult` is true;
    // when it is over the host shows "Can't connect to server!" on failure and then the
    // high-score screen. The client's time-outs bound it.
    virtual void SubmitResult() = 0;
    // The result just put at `place` of the local table keeps the replay of its game, with the
    // name and country as typed (beside Config.cfg; a folder that cannot be written costs the
    // replay only).
    virtual void KeepReplay(int place) = 0;
    virtual bool SendingResult() const = 0;
    // Whether the entry at `place` of the local table has its replay kept (the file is there;
    // whether it plays shows only when it is read).
    virtual bool HasReplay(int place) = 0;
    // Shows the replay of the entry at `place` in the window until the player leaves it or it
    // is over and left; the screen under it then comes back as it was. A replay that cannot be
    // played is said in a message box and changes nothing; an entry without one does nothing.
    virtual void WatchReplay(int place) = 0;
    // Opens a web page beside the game.
    virtual void GoWeb(const std::string& url) = 0;
    virtual std::string HomePageUrl() const = 0;
    virtual std::string OnlineHighScoresUrl() const = 0;
    virtual void StopMusic() = 0;
    // Ends the loop after the current event.
    virtual void Terminate() = 0;

    // The text being typed into the country entry (options) and the name entry (game over).
    virtual std::string& CountryText() = 0;
    virtual std::string& NameText() = 0;
    // The width of `text` in the game's face at `size`, as the text canvas measures it. Needs no
    // surface, so the keys may ask between frames.
    virtual int TextWidth(int size, const std::string& text) = 0;

protected:
    ~IMenuHost() = default;
};

} // namespace pondlark
