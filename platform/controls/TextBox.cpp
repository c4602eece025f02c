#include "platform/controls/TextBox.h"

#include "platform/controls/Container.h"
#include "platform/runtime/Error.h"
#include "platform/widgets/LineEditWidget.h"

#include <QSignalBlocker>

namespace platform {

TextBox::TextBox(Container& parent)
    : Control(parent, new LineEditWidget(parent.ClientWidget()))
    , m_edit(static_cast<LineEditWidget*>(widget()))
{
    m_edit->onDoubleClick = [this] { Q_EMIT DblClick(); };
    connect(m_edit, &QLineEdit::textEdited, this, &TextBox::userEdited);
}

void TextBox::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (m_edit->text() != text) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setText(text);
    }
    Q_EMIT Change();
}

void TextBox::userEdited(const QString& text)
{
    // The user's edit goes through the same path as an assignment, so a handler sees one
    // kind of change whatever its source.
    SetText(text);
}

QString TextBox::ToolTipText() const
{
    return m_edit->toolTip();
}

void TextBox::SetToolTipText(const QString& text)
{
    m_edit->setToolTip(text);
}

int TextBox::SelLength() const
{
    return static_cast<int>(m_edit->selectedText().size());
}

void TextBox::SetSelLength(int length)
{
    if (length < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    const int start = m_edit->selectionStart() >= 0 ? m_edit->selectionStart() : m_edit->cursorPosition();
    if (length == 0)
        m_edit->deselect();
    else
        m_edit->setSelection(start, length);
}

} // namespace platform
