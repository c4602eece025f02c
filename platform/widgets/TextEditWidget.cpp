#include "platform/widgets/TextEditWidget.h"

#include "platform/names/NativePath.h"
#include "platform/widgets/SunkenPanel.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

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
    // The document tells of new text before its layout sees it: the new lines are marked to
    // keep their glyphs before they are first laid out.
    connect(document(), &QTextDocument::contentsChange, this, [this] { keepShapedGlyphs(); });
}

void TextEditWidget::Reset(const QString& text, const QString& toolTip)
{
    ShowText(text);
    ShowToolTip(toolTip);
}

void TextEditWidget::ShowText(const QString& text)
{
    if (text == m_source) {
        // Lent again with the text it shows: only what the user did to it goes.
        scrollToStart();
        return;
    }
    m_source = text;
    // Lines are kept with CR LF; the document wants a plain line feed, and a lone CR would
    // be drawn as a glyph.
    // The document is filled directly: the editor's own setPlainText also re-applies the
    // character format to the whole text and places a cursor at its end, which laid the
    // text out twice more. The document's cursors (the editor's among them) end up at the
    // start with nothing selected, and undo is off, as a read-only box needs.
    if (text.contains(QLatin1Char('\r'))) {
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        document()->setPlainText(shown);
    } else {
        document()->setPlainText(text);
    }
    scrollToStart();
}

// A box's tooltip is its file's name as the file list holds it, which leads back to the file;
// the user is shown it as the list shows it, without the legacy marker and with U+FFFD for a
// byte that is no character, and so is a screen reader.
void TextEditWidget::ShowToolTip(const QString& text)
{
    const QString shown = NativePath::ForDisplay(text);
    if (toolTip() != shown)
        setToolTip(shown);
    if (accessibleName() != shown)
        setAccessibleName(shown);
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

void TextEditWidget::scrollToStart()
{
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection() || cursor.position() != 0) {
        QTextCursor start(document());
        setTextCursor(start);
    }
    verticalScrollBar()->setValue(0);
}

// A text layout normally drops its shaped glyphs once it is laid out and again after every
// paint, so each repaint shaped the whole text again. A preview has a handful of short lines;
// keeping their glyphs costs little and makes a repaint a plain copy of cached glyphs.
void TextEditWidget::keepShapedGlyphs()
{
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout* layout = block.layout();
        if (layout && !layout->cacheEnabled())
            layout->setCacheEnabled(true);
    }
}

bool TextEditWidget::event(QEvent* event)
{
    // Paint events of the widget itself (not of its viewport) only draw the frame; the
    // corner between two scroll bars never shows, as there is no horizontal one.
    if (event->type() == QEvent::Paint && SunkenPanel::PaintFrame(*this))
        return true;
    return QPlainTextEdit::event(event);
}

void TextEditWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    Q_EMIT DoubleClicked();
}

} // namespace platform
