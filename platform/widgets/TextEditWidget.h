#pragma once

#include <QPlainTextEdit>

namespace platform {

// The editor widget lent to a text box array element while it is in view: multi-line,
// read-only (text can be selected and scrolled, not changed), with a vertical scroll bar,
// a 2-pixel sunken border and no document margin, so that its lines sit exactly at the
// font's line height.
//
// It is lent again and again as the previews scroll, so it keeps what it showed: given the
// same text again it lays nothing out, and its laid-out lines keep their shaped glyphs, so
// repainting a box that stays in view does not shape its text anew.
class TextEditWidget : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextEditWidget(QWidget* parent);

    // Shows an element as a freshly made box would: its text, nothing selected, scrolled to
    // the top, with its tooltip and accessible name.
    void Reset(const QString& text, const QString& toolTip);
    void ShowText(const QString& text);
    void ShowToolTip(const QString& text);
    int SelectionLength() const;
    void SetSelectionLength(int length);

Q_SIGNALS:
    // QPlainTextEdit keeps its double-clicks to itself; the array needs them.
    void DoubleClicked();

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void scrollToStart();
    void keepShapedGlyphs();

    QString m_source; // the text last shown, as the element holds it (line ends CR LF)
};

} // namespace platform
