#include "layout/ScrollRules.h"

#include "platform/runtime/Numbers.h"

namespace layout {

using namespace platform::Numbers;

std::int32_t ScrollRules::PageItems(float viewHeight, float itemHeight)
{
    return IntDiv(ToLong(viewHeight), ToLong(itemHeight));
}

float ScrollRules::CanvasHeight(float itemHeight, std::int32_t itemCount)
{
    return ToSingle(static_cast<double>(itemHeight) * itemCount);
}

float ScrollRules::CanvasTop(std::int16_t scrollValue, float itemHeight)
{
    const float negated = static_cast<float>(Negate16(scrollValue));
    return ToSingle(static_cast<double>(negated) * itemHeight);
}

float ScrollRules::BoxTop(std::int32_t index, float itemHeight)
{
    return ToSingle(static_cast<double>(index - 1) * itemHeight);
}

} // namespace layout
