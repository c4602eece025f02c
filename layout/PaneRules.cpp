#include "layout/PaneRules.h"

#include "platform/runtime/Numbers.h"

namespace layout {

using platform::Numbers::IntDiv;
using platform::Numbers::ToLong;
using platform::Numbers::ToSingle;

namespace {

// The lower bound is applied first and the upper one last, so that in a window too small for
// both the upper bound wins and the bar stays where the pane beyond it can still be seen.
float clampUpperWins(float value, float lower, float upper)
{
    if (value < lower)
        value = lower;
    if (value > upper)
        value = upper;
    return value;
}

} // namespace

std::int32_t PaneRules::LinesPerItem(float itemHeight, float textHeight)
{
    const std::int32_t usable = ToLong(ToSingle(static_cast<double>(itemHeight) - BoxBorders));
    const std::int32_t lineHeight = ToLong(textHeight);
    return IntDiv(usable, lineHeight);
}

float PaneRules::FileListTop(float splitY)
{
    return ToSingle(static_cast<double>(splitY) + Gap);
}

float PaneRules::FileListHeight(float formHeight, float splitY)
{
    return ToSingle(static_cast<double>(formHeight) - splitY - Gap);
}

float PaneRules::ViewportWidth(float formWidth, float splitX)
{
    return ToSingle(static_cast<double>(formWidth) - splitX - Gap);
}

float PaneRules::ClampSplitX(float splitX, float formWidth)
{
    return clampUpperWins(splitX, MinPane, ToSingle(static_cast<double>(formWidth) - MinViewport));
}

float PaneRules::ClampSplitY(float splitY, float dirTop, float formHeight)
{
    return clampUpperWins(splitY, ToSingle(static_cast<double>(dirTop) + MinPane),
        ToSingle(static_cast<double>(formHeight) - MinFileList));
}

float PaneRules::Dragged(float position, float pointer, float grabOffset)
{
    return ToSingle(static_cast<double>(position) + pointer - grabOffset);
}

} // namespace layout
