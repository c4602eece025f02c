#pragma once

#include <QLineEdit>
#include <functional>

namespace platform {

// A QLineEdit that reports double-clicks, which QLineEdit keeps to itself.
class LineEditWidget : public QLineEdit {
    Q_OBJECT

public:
    explicit LineEditWidget(QWidget* parent);

    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace platform
