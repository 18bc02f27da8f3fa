// Turning a picture upright by its EXIF orientation.
#pragma once

#include "Picture.h"

namespace corvellin {

// The picture as it is meant to be seen, for an EXIF orientation value:
// 1 as stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top
// to bottom, 5 mirrored along the main diagonal, 6 turned a quarter clockwise,
// 7 mirrored along the other diagonal, 8 turned a quarter anticlockwise.
// Any other value leaves the picture as stored.
Picture OrientUpright(Picture picture, int orientation);

// The same turn a band of stored rows at a time, for a picture still being
// decoded. For an orientation of 2 to 8, upright must have the upright size
// (UprightWidth, UprightHeight); OrientRowsInto writes every upright pixel
// whose stored pixel lies in stored rows [top, bottom). Once every stored row
// has gone through it, in bands of any size and order, upright holds
// OrientUpright(stored, orientation).
int UprightWidth(int orientation, int storedWidth, int storedHeight);
int UprightHeight(int orientation, int storedWidth, int storedHeight);
void OrientRowsInto(const Picture& stored, int top, int bottom, int orientation, Picture& upright);

// Orientation 2 in place: rows [top, bottom) of picture each mirrored left
// to right, so a picture can be turned while it is still being decoded.
void MirrorRows(Picture& picture, int top, int bottom);

// How many upright rows, from the top, are final once stored rows
// [0, storedRows) have been turned: every row for orientation 2, whose rows
// stay in place; for the others none until the last stored row is in.
int UprightRowsDone(int orientation, int storedRows, const Picture& stored);

}  // namespace corvellin
