#include "screens/MenuCursor.h"

#include "platform/VirtualKeys.h"
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
    host.StopSound("button_up");
    host.PlaySound("button_up");
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
    switch (key) {
    case vk::Up:
        Move(host, cursor, menu, -1);
        return true;
    case vk::Down:
        Move(host, cursor, menu, 1);
        return true;
    case vk::Left:
    case vk::Right:
        if (menu.SidewaysMoves) {
            Move(host, cursor, menu, key == vk::Left ? -1 : 1);
        } else if (auto side = key == vk::Left ? item.Left : item.Right) {
            side(host);
        }
        return true;
    case vk::Return:
    case vk::Space:
        if (item.Act) item.Act(host);
        return true;
    default:
        return false;
    }
}

} // namespace pondlark
