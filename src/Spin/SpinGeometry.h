#pragma once

// The arithmetic of the spin edit's layout, in pixels. h is the text height of the field's font,
// hs that of the system font, b the height of a thin border line.
namespace SpinGeometry {

struct Box
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Box &) const = default;
};

struct ArrowBoxes
{
    int pairWidth = 0; // the pair's own width, raised to the narrowest an arrow can be drawn at
    Box up;
    Box down;

    bool operator==(const ArrowBoxes &) const = default;
};

// The lowest the field may be: h + min(hs, h) / 4 + 4b + 2 (21 for h = hs = 12, b = 1).
int MinimumHeight(int textHeight, int systemTextHeight, int border);

// The height the field takes for its font with the sunken 3-D edge: h + 8b.
int AutoHeight(int textHeight, int border);

// The arrow pair inside the field's right edge, in the field's client coordinates.
Box PairBounds(int fieldWidth, int fieldHeight, int pairWidth);

// The right end (exclusive) of the text area in client coordinates, clear of the arrows.
int TextAreaRight(int clientWidth, int pairWidth);

// Up arrow over the upper half, the down arrow below it sharing one pixel row.
ArrowBoxes ArrangeArrows(int width, int height);

} // namespace SpinGeometry
