#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace platform {

// The editor widget lent to a text box array element while it is in view: multi-line,
// read-only (text can be selected and scrolled, not changed), with a vertical scroll bar,
// a 2-pixel sunken border and no document margin, so that its lines sit exactly at the
// font's line height.
class TextEditWidget : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextEditWidget(QWidget* parent);

    void ShowText(const QString& text);
    void ShowToolTip(const QString& text);
    int SelectionLength() const;
    void SetSelectionLength(int length);

    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace platform
