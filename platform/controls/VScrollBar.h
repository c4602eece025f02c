#pragma once

#include "platform/controls/Control.h"

#include <cstdint>

class QScrollBar;

namespace platform {

// A vertical scroll bar with a 16-bit value kept between Min and Max. While the thumb is
// dragged Value follows it and Scroll is raised at each step; Change is raised for arrow and
// track clicks, keys and the wheel, when lowering Max pulls the value down, and once when the
// thumb is released somewhere else than where it was pressed.
class VScrollBar : public Control {
    Q_OBJECT

public:
    explicit VScrollBar(Container& parent);

    std::int16_t Value() const { return m_value; }
    void SetValue(std::int32_t value);
    void SetMin(std::int32_t min);
    std::int16_t Max() const { return m_max; }
    void SetMax(std::int32_t max);
    std::int16_t SmallChange() const { return m_smallChange; }
    void SetSmallChange(std::int32_t change);
    std::int16_t LargeChange() const { return m_largeChange; }
    void SetLargeChange(std::int32_t change);

Q_SIGNALS:
    void Change();
    void Scroll();

private:
    enum class Source { Program, Thumb };

    void changeValue(std::int16_t value, Source source);
    void syncRange();
    void barValueChanged(int value);
    void thumbPressed();
    void thumbReleased();

    QScrollBar* m_bar;
    std::int16_t m_value {0};
    std::int16_t m_min {0};
    std::int16_t m_max {0};
    std::int16_t m_smallChange {1};
    std::int16_t m_largeChange {1};
    std::int16_t m_valueAtPress {0};
    bool m_syncing {false};
};

} // namespace platform
