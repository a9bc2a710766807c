#!/usr/bin/env python3
"""Prints the window types (_NET_WM_WINDOW_TYPE) an X window declares, one a line, such as
_NET_WM_WINDOW_TYPE_SPLASH: window_types.py WINDOW-ID. Nothing is printed for a window that
declares none or no longer exists; tests use it to tell windows of one title apart."""

import ctypes
import sys

XA_ATOM = 4


def main():
    window = int(sys.argv[1], 0)
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetWindowProperty.argtypes = [
        ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
        ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
    x11.XGetAtomName.restype = ctypes.c_void_p
    x11.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    # A window destroyed meanwhile is no failure: it simply declares nothing.
    handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
    ignore_errors = handler_type(lambda display, event: 0)
    x11.XSetErrorHandler(ignore_errors)

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    actual_type = ctypes.c_ulong()
    actual_format = ctypes.c_int()
    count = ctypes.c_ulong()
    after = ctypes.c_ulong()
    data = ctypes.c_void_p()
    status = x11.XGetWindowProperty(
        display, window, x11.XInternAtom(display, b"_NET_WM_WINDOW_TYPE", 0), 0, 64, 0, XA_ATOM,
        ctypes.byref(actual_type), ctypes.byref(actual_format), ctypes.byref(count),
        ctypes.byref(after), ctypes.byref(data))
    x11.XSync(display, 0)
    if status == 0 and data.value and actual_format.value == 32:
        atoms = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))
        for index in range(count.value):
            name = x11.XGetAtomName(display, atoms[index])
            if name:
                print(ctypes.string_at(name).decode("ascii", "replace"))
                x11.XFree(name)
    if data.value:
        x11.XFree(data)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    main()
