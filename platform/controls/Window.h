#pragma once

#include "platform/controls/Container.h"

#include <QObject>
#include <QString>
#include <initializer_list>

namespace platform {

class Control;
class FormWidget;

// The program's one top-level window. Lengths are pixels of its client area. Load is raised
// once, before the window is first shown; Resize on every change of the client size, after
// docked boxes have followed the new size.
class Window : public QObject, public Container {
    Q_OBJECT

public:
    Window(float clientWidth, float clientHeight);
    ~Window() override;

    float ScaleWidth() const { return m_scaleWidth; }
    float ScaleHeight() const { return m_scaleHeight; }

    void SetCaption(const QString& caption);
    QString Caption() const;
    void SetAccessibleName(const QString& name);

    // Repaints the whole window now, before returning.
    void Refresh();

    // Raises Load (the first time only) and shows the window.
    void Show();

    // Sets the client size as if the user had resized the window.
    void ResizeClient(float width, float height);

    // Focus order for the Tab key, first to last.
    void SetTabOrder(std::initializer_list<Control*> order);

    QWidget* ClientWidget() const override;
    float ClientWidth() const override { return m_scaleWidth; }
    float ClientHeight() const override { return m_scaleHeight; }
    QWidget* widget() const;

Q_SIGNALS:
    void Load();
    void Resize();
    void FirstPaint();

private:
    void clientResized(float width, float height);

    FormWidget* m_widget;
    float m_scaleWidth;
    float m_scaleHeight;
    bool m_loaded {false};
};

} // namespace platform
