#pragma once

#include "platform/controls/Bounds.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

class TextBoxArray;
class TextEditWidget;

// One element of a text box control array: a multi-line, locked text box with a vertical
// scroll bar. Elements are plain objects holding their properties; the array lends them a
// real editor widget only while they can be seen, so a folder of thousands of files costs a
// few hundred bytes a box instead of a widget each.
class TextBoxElement {
public:
    // The design-time template.
    TextBoxElement(TextBoxArray& array, std::int16_t index);
    // A hidden copy of another element: its bounds, text and tip.
    TextBoxElement(TextBoxArray& array, std::int16_t index, const TextBoxElement& model);
    ~TextBoxElement();
    TextBoxElement(const TextBoxElement&) = delete;
    TextBoxElement& operator=(const TextBoxElement&) = delete;

    std::int16_t Index() const { return m_index; }

    float Left() const { return m_bounds.left; }
    float Top() const { return m_bounds.top; }
    float Width() const { return m_bounds.width; }
    float Height() const { return m_bounds.height; }
    void SetWidth(double width);
    void Move(double left, std::optional<double> top = std::nullopt, std::optional<double> width = std::nullopt,
        std::optional<double> height = std::nullopt);

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    const QString& Text() const { return m_text; }
    // Taken by value: a rebuild hands over each note's text, read on another thread, without
    // touching its memory.
    void SetText(QString text);

    const QString& ToolTipText() const { return m_toolTip; }
    void SetToolTipText(const QString& text);

    int SelLength() const;
    void SetSelLength(int length);

    // The editor widget currently showing this element, if it is in view.
    TextEditWidget* View() const { return m_view; }
    // Called by the array as the element comes into view: the view is placed first and then
    // filled, so that its text is laid out once, at its final width.
    void ShowIn(TextEditWidget& view);
    // Called by the array as the element leaves the view; the view is the array's again.
    TextEditWidget* ReleaseView();
    // Brings the lent view to the element's bounds.
    void PlaceView();

private:
    TextBoxArray& m_array;
    TextEditWidget* m_view {nullptr};
    QString m_text;
    QString m_toolTip;
    Bounds m_bounds;
    std::int16_t m_index;
    bool m_visible {false};
};

} // namespace platform
