"""Prints, one per line, "role|name|x y width height" for every accessible
object of the running application named by the first argument, as a
screen reader reads them over AT-SPI."""
import sys
import time

import pyatspi


def walk(accessible, out):
    try:
        extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        box = f"{extents.x} {extents.y} {extents.width} {extents.height}"
    except NotImplementedError:
        box = ""
    out.append(f"{accessible.getRoleName()}|{accessible.name}|{box}")
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            walk(child, out)


def main():
    wanted = sys.argv[1]
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == wanted and app.childCount > 0:
                out = []
                walk(app, out)
                print("\n".join(out))
                return 0
        time.sleep(0.2)
    print(f"atspi_names: no application {wanted!r} on the accessibility bus", file=sys.stderr)
    return 1


sys.exit(main())
