#include "platform/controls/TextBox.h"

#include "platform/controls/Container.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace platform {

TextBox::TextBox(Container& parent)
    : Control(parent, new QLineEdit(parent.ClientWidget()))
    , m_edit(static_cast<QLineEdit*>(widget()))
{
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

} // namespace platform
