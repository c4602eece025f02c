#pragma once

#include "platform/controls/Bounds.h"

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

    float Left() const { return m_bounds.left; }
    float Top() const { return m_bounds.top; }
    float Width() const { return m_bounds.width; }
    float Height() const { return m_bounds.height; }
    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(float width);
    void SetHeight(float height);

    // Applied whole or not at all, as Bounds::ForMove says.
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

    // Lets a control adjust requested bounds (a docked box keeps its place, for instance).
    // Called after validation, before the change is committed.
    virtual void AdjustBounds(Bounds& bounds);
    // Raised after a committed change of width or height, when the widget shows it already.
    virtual void SizeChanged() { }
    void SetBoundsUnchecked(const Bounds& bounds);

private:
    Container& m_container;
    // The widget may go first, with its parent; the guard tells.
    QWidget* m_widget;
    QPointer<QObject> m_guard;
    Bounds m_bounds;
    bool m_visible {true};
};

} // namespace platform
