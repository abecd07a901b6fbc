// The one highlight of every menu screen, moved by the pointer and by the keys alike.
//
// A screen lists its items in key order; each item knows how to light itself (the same sprite
// the pointer shows) and what Enter, Left and Right do on it. The pointer moves the cursor with
// `PointAt`; the keys go through `MenuKey`. A controller reaches the same code: its d-pad and
// stick arrive as arrow keys, its A button as Enter.
#pragma once

#include "game/GameState.h"
#include "screens/MenuHost.h"

#include <span>

namespace pondlark {

struct TMenuItem {
    // Lights the item (nullptr: the screen draws the keyboard highlight itself).
    void (*Light)(IMenuHost&) = nullptr;
    // Enter, Space or the controller's A on the item.
    void (*Act)(IMenuHost&) = nullptr;
    // Left and Right on the item (rows with two choices); nullptr: the key does nothing.
    void (*Left)(IMenuHost&) = nullptr;
    void (*Right)(IMenuHost&) = nullptr;
};

struct TMenuKeys {
    std::span<const TMenuItem> Items;
    // Left and Right move the cursor as Up and Down do (the yes/no questions).
    bool SidewaysMoves = false;
};

// An item's `Light` that makes the pointer's highlight sprite of that item.
template <typename Sprite> void LightSprite(IMenuHost& host) {
    new Sprite(host);
}

// A screen (or question) starts with the cursor on `item`, unlit; the first arrow lights that
// item, the next ones move. Start on the safe item: Enter acts on it even while it is unlit.
void ResetCursor(TMenuCursor& cursor, int item);
// The pointer over `item`: the cursor follows it; the pointer's own hover lights it.
void PointAt(TMenuCursor& cursor, int item);
// Lights the cursor's item by the keys: the pointer's highlights go, the item's comes, and the
// item tick sounds.
void LightCursor(IMenuHost& host, TMenuCursor& cursor, const TMenuKeys& menu);
// Up and Down (wrapping), Left and Right, Enter and Space. True when the key was the menu's.
bool MenuKey(IMenuHost& host, TMenuCursor& cursor, const TMenuKeys& menu, int key);

} // namespace pondlark
