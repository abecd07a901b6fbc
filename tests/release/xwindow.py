#!/usr/bin/python3
"""Asks an X window what the real-window tests need, as a window manager or a desktop would.

  xwindow.py close WINDOW   sends WM_DELETE_WINDOW, the message a close box sends
  xwindow.py icon WINDOW    prints the first _NET_WM_ICON image: WIDTH HEIGHT and the
                            0xAARRGGBB pixels at its centre and at its top-left corner
  xwindow.py resources TEXT sets the display's X resources (RESOURCE_MANAGER on the root
                            window), as a desktop sets Xft.dpi; WINDOW is not given
WINDOW is a decimal or 0x window id. Exits 1 with a message when the window lacks what is asked.
"""
import sys

from Xlib import X, Xatom, display
from Xlib.protocol import event


def close(d, win):
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    if delete not in (win.get_wm_protocols() or []):
        sys.exit("the window does not take WM_DELETE_WINDOW")
    message = event.ClientMessage(window=win, client_type=protocols,
                                  data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    win.send_event(message, event_mask=X.NoEventMask)
    d.flush()


def icon(d, win):
    prop = win.get_full_property(d.intern_atom("_NET_WM_ICON"), X.AnyPropertyType)
    if prop is None or len(prop.value) < 3:
        sys.exit("the window has no _NET_WM_ICON")
    values = list(prop.value)
    width, height = values[0], values[1]
    pixels = values[2:]
    if width <= 0 or height <= 0 or len(pixels) < width * height:
        sys.exit("the window's _NET_WM_ICON is cut short")
    centre = pixels[(height // 2) * width + width // 2] & 0xFFFFFFFF
    corner = pixels[0] & 0xFFFFFFFF
    print(f"{width} {height} 0x{centre:08x} 0x{corner:08x}")


def resources(d, text):
    root = d.screen().root
    root.change_property(d.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8,
                         text.encode())
    d.sync()


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("close", "icon", "resources"):
        sys.exit(__doc__)
    d = display.Display()
    if sys.argv[1] == "resources":
        resources(d, sys.argv[2])
        return
    win = d.create_resource_object("window", int(sys.argv[2], 0))
    {"close": close, "icon": icon}[sys.argv[1]](d, win)


if __name__ == "__main__":
    main()
