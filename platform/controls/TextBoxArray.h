#pragma once

#include "platform/controls/textboxarray/ElementBlocks.h"
#include "platform/controls/textboxarray/TopIndex.h"
#include "platform/controls/textboxarray/ViewPool.h"

#include <QObject>
#include <cstdint>
#include <vector>

namespace platform {

class PictureBox;
class TextEditWidget;

// What an element tells its array about itself.
enum class ElementChange {
    Place, // its top or height changed: where it sits in the stack
    Size, // only its left or width changed
    Visibility,
};

// A control array of multi-line text boxes on one picture box, indexed from 0. Element 0 is
// the design-time template; Load makes a hidden copy of it under a new index. Only elements
// that are visible and intersect the part of the picture box that its container shows get an
// editor widget; widgets are pooled and re-bound as the picture box moves under its
// container, which keeps very large arrays cheap.
//
// Costs, for folders of tens of thousands of boxes: loading an element allocates nothing but
// its text (ElementBlocks); a move of the picture box finds the elements in view by binary
// search (TopIndex), so a scroll step costs the boxes in view, not the whole array; and a
// view that stays in view keeps its widget and its laid-out text (ViewPool).
class TextBoxArray : public QObject {
    Q_OBJECT

public:
    explicit TextBoxArray(PictureBox& container);
    ~TextBoxArray() override;

    std::int16_t LBound() const;
    std::int16_t UBound() const;
    TextBoxElement& operator()(std::int32_t index);
    const TextBoxElement& operator()(std::int32_t index) const;

    void Load(std::int32_t index);
    void Unload(std::int32_t index);

    // Number of elements, loaded holes excluded.
    std::size_t Count() const { return m_elements.Count(); }

    // Called by an element whose place, size or visibility changed.
    void ElementChanged(TextBoxElement& element, ElementChange change);

Q_SIGNALS:
    void DblClick(std::int16_t Index);
    // Raised after an element was created by Load, for whoever needs to follow the array's
    // life: a test counts the rebuilds of the previews by it.
    void ElementLoaded(std::int16_t Index);

private:
    TextBoxElement& existing(std::int32_t index) const;
    void rebindAll();
    TextEditWidget* takeView();
    void viewDoubleClicked(const TextEditWidget& view);
    void attach(TextBoxElement& element, TextEditWidget* view);
    TextEditWidget* detach(TextBoxElement& element);
    void unbind(TextBoxElement& element);

    PictureBox& m_container;
    ElementBlocks m_elements;
    TopIndex m_index;
    ViewPool m_pool;
    std::vector<TextBoxElement*> m_bound;
};

} // namespace platform
