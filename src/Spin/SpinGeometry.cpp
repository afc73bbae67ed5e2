#include "SpinGeometry.h"

#include <algorithm>

namespace SpinGeometry {
namespace {

constexpr int kNarrowestPair = 15;
// With the 3-D look the pair leaves the sunken edge's inner ring and one spare pixel free.
constexpr int kPairRightGap = 5;
constexpr int kPairBottomGap = 5;
constexpr int kTextToPairGap = 2;

} // namespace

int MinimumHeight(int textHeight, int systemTextHeight, int border)
{
    return textHeight + std::min(systemTextHeight, textHeight) / 4 + 4 * border + 2;
}

int AutoHeight(int textHeight, int border)
{
    return textHeight + 8 * border;
}

Box PairBounds(int fieldWidth, int fieldHeight, int pairWidth)
{
    return {fieldWidth - pairWidth - kPairRightGap, 0, pairWidth, fieldHeight - kPairBottomGap};
}

int TextAreaRight(int clientWidth, int pairWidth)
{
    return clientWidth - pairWidth - kTextToPairGap;
}

ArrowBoxes ArrangeArrows(int width, int height)
{
    const int pairWidth = std::max(width, kNarrowestPair);
    const int upHeight = height / 2;
    return {pairWidth,
            {0, 0, pairWidth, upHeight},
            {0, upHeight - 1, pairWidth, height - upHeight + 1}};
}

} // namespace SpinGeometry
