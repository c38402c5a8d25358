// The radial hatching that marks the live preview's unfinished sectors.
//
// Drawn over the cached ring image on every preview draw, with the toolkit's
// current drawing context, so the animation costs lines and never a new
// image. GUI thread, inside a draw.
#pragma once

#include <FL/Enumerations.H>

namespace fan {

// Radial lines 0.055 radians apart over the annular sector rIn..rOut,
// start..end around (cx, cy), in `colour`. The first line stands `phase`
// modulo 0.055 after `start` (a negative or NaN phase counts as 0), so a
// growing phase moves the pattern clockwise; at most 48 lines are drawn.
// Angles in radians from 12 o'clock clockwise; end points are rounded to the
// nearest pixel. Nothing is drawn when start is not below end.
void drawScanHatch(double cx, double cy, double rIn, double rOut, double start, double end, Fl_Color colour,
                   double phase);

}  // namespace fan
