#include "platform/controls/VScrollBar.h"

#include "platform/controls/Container.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

namespace platform {

VScrollBar::VScrollBar(Container& parent)
    : Control(parent, new QScrollBar(Qt::Vertical, parent.ClientWidget()))
    , m_bar(static_cast<QScrollBar*>(widget()))
{
    syncRange();
    connect(m_bar, &QScrollBar::valueChanged, this, &VScrollBar::barValueChanged);
    connect(m_bar, &QScrollBar::sliderPressed, this, &VScrollBar::thumbPressed);
    connect(m_bar, &QScrollBar::sliderReleased, this, &VScrollBar::thumbReleased);
}

void VScrollBar::SetValue(std::int32_t value)
{
    const std::int16_t checked = Numbers::ToInteger(value);
    if (checked < std::min(m_min, m_max) || checked > std::max(m_min, m_max))
        throw Error(ErrorCode::InvalidPropertyValue);
    changeValue(checked, Source::Program);
}

void VScrollBar::SetMin(std::int32_t min)
{
    m_min = Numbers::ToInteger(min);
    syncRange();
    if (m_value < m_min)
        changeValue(m_min, Source::Program);
}

void VScrollBar::SetMax(std::int32_t max)
{
    m_max = Numbers::ToInteger(max);
    syncRange();
    // The value always stays within the range: lowering Max below it pulls it down, and
    // that is a change like any other.
    if (m_value > m_max)
        changeValue(m_max, Source::Program);
}

void VScrollBar::SetSmallChange(std::int32_t change)
{
    const std::int16_t checked = Numbers::ToInteger(change);
    if (checked < 1)
        throw Error(ErrorCode::InvalidPropertyValue);
    m_smallChange = checked;
    syncRange();
}

void VScrollBar::SetLargeChange(std::int32_t change)
{
    const std::int16_t checked = Numbers::ToInteger(change);
    if (checked < 1)
        throw Error(ErrorCode::InvalidPropertyValue);
    m_largeChange = checked;
    syncRange();
}

void VScrollBar::changeValue(std::int16_t value, Source source)
{
    if (value == m_value)
        return;
    m_value = value;
    if (m_bar->value() != value) {
        m_syncing = true;
        m_bar->setValue(value);
        m_syncing = false;
    }
    if (source == Source::Thumb)
        Q_EMIT Scroll();
    else
        Q_EMIT Change();
}

void VScrollBar::syncRange()
{
    m_syncing = true;
    {
        const QSignalBlocker blocker(m_bar);
        m_bar->setRange(m_min, m_max);
        m_bar->setSingleStep(m_smallChange);
        m_bar->setPageStep(m_largeChange);
        m_bar->setValue(m_value);
    }
    m_syncing = false;
}

void VScrollBar::barValueChanged(int value)
{
    if (m_syncing)
        return;
    changeValue(static_cast<std::int16_t>(value), m_bar->isSliderDown() ? Source::Thumb : Source::Program);
}

void VScrollBar::thumbPressed()
{
    m_valueAtPress = m_value;
}

void VScrollBar::thumbReleased()
{
    if (m_value != m_valueAtPress)
        Q_EMIT Change();
}

} // namespace platform
