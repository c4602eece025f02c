#pragma once

#include <QWidget>
#include <functional>

namespace platform {

// The top-level Qt widget behind a Window. It reports client-size changes and the first
// painted frame back to the Window, and nothing else.
class FormWidget : public QWidget {
    Q_OBJECT

public:
    FormWidget();

    std::function<void(QSize)> onResized;
    std::function<void()> onFirstPaint;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_painted {false};
};

} // namespace platform
