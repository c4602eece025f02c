#pragma once

#include <QFrame>
#include <functional>

namespace platform {

enum class MouseAction { Down, Move, Up };

// The Qt widget behind a PictureBox: a frame (with or without a sunken 2-pixel border) whose
// interior widget holds the child controls. Mouse events are handed back unchanged; Qt's
// implicit grab keeps delivering them to the pressed box until the button is released.
class PictureBoxWidget : public QFrame {
    Q_OBJECT

public:
    PictureBoxWidget(QWidget* parent, int borderWidth);

    QWidget* client() const { return m_client; }
    // Fits the interior widget inside the border, at the widget's current size.
    void PlaceClient();

    std::function<void(MouseAction, QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_client;
    int m_borderWidth;
};

} // namespace platform
