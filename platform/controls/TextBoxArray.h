#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class PictureBox;
class TextBoxElement;
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
// Costs, for folders of tens of thousands of boxes: elements live in fixed blocks, so loading
// one allocates nothing but its text; a move of the picture box finds the elements in view by
// binary search over an index sorted by Top (rebuilt only after elements were loaded,
// unloaded or moved vertically, and correct for any order of Tops), so a scroll step costs
// the boxes in view, not the whole array; and a view that stays in view keeps its widget and
// its laid-out text.
class TextBoxArray : public QObject {
    Q_OBJECT

public:
    explicit TextBoxArray(PictureBox& container);
    ~TextBoxArray() override;

    std::int16_t LBound() const;
    std::int16_t UBound() const;
    bool Exists(std::int32_t index) const;
    TextBoxElement& operator()(std::int32_t index);
    const TextBoxElement& operator()(std::int32_t index) const;

    void Load(std::int32_t index);
    void Unload(std::int32_t index);

    // Number of elements, loaded holes excluded; and of editor widgets currently lent out.
    std::size_t Count() const { return m_count; }
    std::size_t BoundViews() const { return m_bound.size(); }

    // Called by an element whose place, size or visibility changed.
    void ElementChanged(TextBoxElement& element, ElementChange change);

Q_SIGNALS:
    void DblClick(std::int16_t Index);
    // Raised after an element was created by Load and after one was destroyed by Unload, for
    // whoever needs to follow the array's life (tests do).
    void ElementLoaded(std::int16_t Index);
    void ElementUnloaded(std::int16_t Index);

private:
    struct Block;
    struct Viewport {
        float left;
        float top;
        float right;
        float bottom;
    };
    // One entry of the index by Top. `reach` is the lowest bottom edge that this element and
    // every element before it in the index reach down to, so that the first element that can
    // touch a viewport is found by binary search even when heights differ.
    struct Placed {
        float top;
        float reach;
        TextBoxElement* element;
    };

    TextBoxElement* find(std::int32_t index) const;
    Viewport visiblePart() const;
    static bool inView(const TextBoxElement& element, const Viewport& viewport);
    bool outsideShownRows(const TextBoxElement& element) const;
    void rebuildIndex();
    void rebindAll();
    void updateBinding(TextBoxElement& element);
    TextEditWidget* takeView();
    void attach(TextBoxElement& element, TextEditWidget* view);
    TextEditWidget* detach(TextBoxElement& element);
    void unbind(TextBoxElement& element);
    void placeView(TextBoxElement& element);

    PictureBox& m_container;
    std::vector<std::unique_ptr<Block>> m_blocks;
    std::size_t m_end {0}; // one past the highest loaded index
    std::size_t m_count {0};
    std::vector<Placed> m_index;
    bool m_indexStale {true};
    std::vector<TextBoxElement*> m_bound;
    std::vector<TextEditWidget*> m_pool; // hidden views, ready to be lent again
    std::vector<TextEditWidget*> m_spare; // views set free by a move, still shown
};

} // namespace platform
