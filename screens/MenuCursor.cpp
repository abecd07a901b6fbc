#include "screens/MenuCursor.h"

#include "engine/TSprite.h"
#include "game/Controls.h"
#include "screens/MenuSprites.h"

namespace pondlark {

void ResetCursor(TMenuCursor& cursor, int item) {
    cursor.Item = item;
    cursor.Lit = false;
    cursor.Shown = false;
}

void PointAt(TMenuCursor& cursor, int item) {
    cursor.Item = item;
    cursor.Shown = true;
}

void LightCursor(IMenuHost& host, TMenuCursor& cursor, const TMenuKeys& menu) {
    if (menu.Items.empty()) return;
    MarkAllDead<TMenuGame>(host.Engine());
    cursor.Lit = cursor.Shown = true;
    const TMenuItem& item = menu.Items[static_cast<size_t>(cursor.Item)];
    if (item.Light) item.Light(host);
    host.StopSound(TSound::ButtonUp);
    host.PlaySound(TSound::ButtonUp);
}

namespace {

void Move(IMenuHost& host, TMenuCursor& cursor, const TMenuKeys& menu, int step) {
    const int count = static_cast<int>(menu.Items.size());
    // Nothing seen yet: the first arrow shows where the highlight starts.
    if (cursor.Shown) cursor.Item = (cursor.Item + step + count) % count;
    LightCursor(host, cursor, menu);
}

} // namespace

bool MenuKey(IMenuHost& host, TMenuCursor& cursor, const TMenuKeys& menu, int key) {
    if (menu.Items.empty()) return false;
    if (cursor.Item < 0 || cursor.Item >= static_cast<int>(menu.Items.size())) cursor.Item = 0;
    const TMenuItem& item = menu.Items[static_cast<size_t>(cursor.Item)];
    if (IsKey(TKeyAction::MenuUp, key)) {
        Move(host, cursor, menu, -1);
        return true;
    }
    if (IsKey(TKeyAction::MenuDown, key)) {
        Move(host, cursor, menu, 1);
        return true;
    }
    const bool left = IsKey(TKeyAction::MenuLeft, key);
    if (left || IsKey(TKeyAction::MenuRight, key)) {
        if (menu.SidewaysMoves) {
            Move(host, cursor, menu, left ? -1 : 1);
        } else if (auto side = left ? item.Left : item.Right) {
            side(host);
        }
        return true;
    }
    if (IsKey(TKeyAction::Choose, key)) {
        if (item.Act) item.Act(host);
        return true;
    }
    return false;
}

} // namespace pondlark
