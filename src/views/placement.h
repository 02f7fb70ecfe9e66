// Where the main window and its move handle go: snapping to the work area,
// the click-through inset and moves, the handle's square and the warning
// dialog's corner.
#pragma once
#include "views/canvas.h"
#include "views/geometry.h"

namespace views {

constexpr int kSnapDistance = 20;
constexpr int kHandleSize = 13;

// How far the window reaches beyond the work area when click-through is on:
// the frame in the classic view, the sticker's border otherwise.
int ClickThroughInset(bool clickThrough, bool classic, int windowWidth, int listWidth,
                      Scale s = {});

// The window rectangle for a drag: placed by the mouse and the grab offset,
// then each edge near a work-area edge moved onto it (inset beyond it on the
// left and top, inside it on the right and bottom).
Rect SnapToWorkArea(const Rect& proposed, Point mouse, Point grabOffset, const Rect& work,
                    int inset, Scale s = {});

// Click-through on: a window that reaches past the right or bottom of the
// work area comes back inside.
Point ClickThroughOnPosition(const Rect& window, const Rect& work);
// Click-through off: a window that left room for the handle at the right
// edge goes back to the edge.
Point ClickThroughOffPosition(const Rect& window, const Rect& work, Scale s = {});

// The move handle's square at the window's bottom-right corner.
Rect HandleRect(const Rect& window, int inset, Scale s = {});
// Dragging the handle: the main window's rectangle (inset offset removed)
// for a proposed handle rectangle.
Rect MainRectForHandle(const Rect& handle, int mainWidth, int mainHeight);

// The warning dialog sits in the screen's bottom-right corner, above or below
// the main window when it would cover it.
Point ConfirmDialogPosition(int width, int height, const Rect& screen, const Rect& main,
                            Scale s = {});

// First start: centred horizontally, a quarter of the free height down.
Point FirstPlacement(int width, int height, int screenWidth, int screenHeight);

// The handle's picture: its background, frame and four-way cross.
void DrawHandleImage(Canvas& c, Color stickerColor, Scale s = {});

}  // namespace views
