// Prints the pointer's cursor as the X server holds it: "width height xhot
// yhot tipx tipy on", where (tipx, tipy) is the first opaque pixel of the
// topmost opaque row (the finger tip of the player's hand) and `on` is 1
// when the hot spot lies on an opaque pixel of the picture.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cursor_probe: cannot open the display\n");
    return 2;
  }
  XFixesCursorImage* cursor = XFixesGetCursorImage(display);
  if (!cursor) {
    std::fprintf(stderr, "cursor_probe: no cursor image\n");
    XCloseDisplay(display);
    return 2;
  }
  int tipX = -1;
  int tipY = -1;
  for (int y = 0; y < cursor->height && tipY < 0; ++y) {
    for (int x = 0; x < cursor->width; ++x) {
      // Pixels are ARGB in unsigned longs.
      if ((cursor->pixels[y * cursor->width + x] >> 24) & 0xFF) {
        tipX = x;
        tipY = y;
        break;
      }
    }
  }
  const bool onPicture = (cursor->pixels[cursor->yhot * cursor->width + cursor->xhot] >> 24) & 0xFF;
  std::printf("%d %d %d %d %d %d %d\n", cursor->width, cursor->height, cursor->xhot, cursor->yhot, tipX, tipY,
              onPicture ? 1 : 0);
  XFree(cursor);
  XCloseDisplay(display);
  return 0;
}
