#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QWidget;

namespace platform {

class Container;

// Whether a control takes part in Tab navigation.
enum class TabStop { No, Yes };

// The common part of every control: a model of its geometry and visibility that the program
// reads and writes, mirrored onto a Qt widget. The model is the truth: the widget only shows
// it, so a hidden widget's late resize events can never disagree with what the program reads.
class Control : public QObject {
    Q_OBJECT

public:
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(float width);
    void SetHeight(float height);

    // Applied whole or not at all: a negative width or height is refused with an error and
    // leaves every property as it was. Omitted arguments keep their current values.
    void Move(double left, std::optional<double> top = std::nullopt, std::optional<double> width = std::nullopt,
        std::optional<double> height = std::nullopt);

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    void SetTabStop(TabStop tabStop);
    void SetAccessibleName(const QString& name);
    void BringToFront();
    void SendToBack();

    Container& Parent() const { return m_container; }
    QWidget* widget() const { return m_guard ? m_widget : nullptr; }

Q_SIGNALS:
    // Raised after any committed change of place or size, for the platform's own bookkeeping
    // (the program's handlers listen to the control kinds' own events).
    void GeometryChanged();

protected:
    Control(Container& container, QWidget* widget);

    // Lets a control adjust a requested geometry (a docked box keeps its place, for
    // instance). Called after validation, before the change is committed.
    virtual void AdjustGeometry(float& left, float& top, float& width, float& height);
    // Raised after a committed change of width or height, when the widget shows it already.
    virtual void SizeChanged() { }
    virtual void ApplyGeometryToWidget();
    void SetGeometryUnchecked(float left, float top, float width, float height);

private:
    Container& m_container;
    // The widget may go first, with its parent; the guard tells.
    QWidget* m_widget;
    QPointer<QObject> m_guard;
    float m_left {0};
    float m_top {0};
    float m_width {0};
    float m_height {0};
    bool m_visible {true};
};

} // namespace platform
