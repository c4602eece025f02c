#include "layout/PaneRules.h"

#include "platform/runtime/Numbers.h"

namespace layout {

using platform::Numbers::IntDiv;
using platform::Numbers::ToLong;
using platform::Numbers::ToSingle;

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
    if (splitX < MinPane)
        splitX = MinPane;
    const float upper = ToSingle(static_cast<double>(formWidth) - MinViewport);
    if (splitX > upper)
        splitX = upper;
    return splitX;
}

float PaneRules::ClampSplitY(float splitY, float dirTop, float formHeight)
{
    const float lower = ToSingle(static_cast<double>(dirTop) + MinPane);
    if (splitY < lower)
        splitY = lower;
    const float upper = ToSingle(static_cast<double>(formHeight) - MinFileList);
    if (splitY > upper)
        splitY = upper;
    return splitY;
}

float PaneRules::Dragged(float position, float pointer, float grabOffset)
{
    return ToSingle(static_cast<double>(position) + pointer - grabOffset);
}

} // namespace layout
