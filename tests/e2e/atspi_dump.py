"""Prints, as JSON, what the accessibility bus knows about the windows of one process.

    atspi_dump.py PID

Each node has its role, accessible name, states, screen extents and, for text elements,
the whole text. A fresh process per look: nothing is read from an old cache.
"""

import json
import sys

import pyatspi


def node(acc, depth=0):
    try:
        role = acc.getRoleName()
    except Exception:
        return None
    n = {"role": role, "name": acc.name or ""}
    try:
        states = acc.getState()
        n["states"] = [pyatspi.stateToString(s) for s in states.getStates()]
    except Exception:
        n["states"] = []
    try:
        comp = acc.queryComponent()
        e = comp.getExtents(pyatspi.DESKTOP_COORDS)
        n["extents"] = [e.x, e.y, e.width, e.height]
    except Exception:
        pass
    try:
        text = acc.queryText()
        n["text"] = text.getText(0, -1)
    except Exception:
        pass
    try:
        image = acc.queryImage()
        size = image.getImageSize()
        n["image"] = [size[0], size[1]]
    except Exception:
        pass
    if depth < 40:
        children = []
        for i in range(acc.childCount):
            try:
                c = node(acc.getChildAtIndex(i), depth + 1)
            except Exception:
                c = None
            if c is not None:
                children.append(c)
        if children:
            n["children"] = children
    return n


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
        except Exception:
            continue
        windows = []
        for j in range(app.childCount):
            w = node(app.getChildAtIndex(j))
            if w is not None:
                windows.append(w)
        json.dump({"app": app.name, "windows": windows}, sys.stdout, ensure_ascii=False)
        return 0
    print("application not found on the accessibility bus", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
