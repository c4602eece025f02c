#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class PictureBox;
class TextBoxElement;
class TextEditWidget;

// A control array of multi-line text boxes on one picture box, indexed from 0. Element 0 is
// the design-time template; Load makes a hidden copy of it under a new index. Only elements
// that are visible and intersect the part of the picture box that its container shows get an
// editor widget; widgets are pooled and re-bound as the picture box moves under its
// container, which keeps very large arrays cheap.
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
    std::size_t BoundViews() const { return m_boundViews; }

    // Called by an element whose place, size or visibility changed.
    void ElementChanged(TextBoxElement& element);

Q_SIGNALS:
    void DblClick(std::int16_t Index);

private:
    struct Viewport {
        float left;
        float top;
        float right;
        float bottom;
    };

    Viewport visiblePart() const;
    bool inView(const TextBoxElement& element, const Viewport& viewport) const;
    void rebindAll();
    void updateBinding(TextBoxElement& element, const Viewport& viewport);
    void bind(TextBoxElement& element);
    void unbind(TextBoxElement& element);
    void placeView(TextBoxElement& element);

    PictureBox& m_container;
    std::vector<std::unique_ptr<TextBoxElement>> m_elements;
    std::vector<TextEditWidget*> m_pool;
    std::size_t m_count {0};
    std::size_t m_boundViews {0};
};

} // namespace platform
