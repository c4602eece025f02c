#include "platform/TextEditWidget.h"

#include <QScrollBar>
#include <QTextCursor>

namespace platform {

TextEditWidget::TextEditWidget(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    document()->setDocumentMargin(0);
    setFocusPolicy(Qt::ClickFocus);
}

void TextEditWidget::ShowText(const QString& text)
{
    // Lines are kept with CR LF; the document wants a plain line feed, and a lone CR would
    // be drawn as a glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(shown);
    verticalScrollBar()->setValue(0);
}

void TextEditWidget::ShowToolTip(const QString& text)
{
    setToolTip(text);
    setAccessibleName(text);
}

int TextEditWidget::SelectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TextEditWidget::SetSelectionLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    if (length > 0)
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, length);
    setTextCursor(cursor);
}

void TextEditWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    // The handler may rebind this widget (and reset the callback); call a copy.
    const auto callback = onDoubleClick;
    if (callback)
        callback();
}

} // namespace platform
