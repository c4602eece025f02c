#include "platform/controls/Label.h"

#include "platform/controls/Container.h"

#include <QLabel>

namespace platform {

Label::Label(Container& parent, AutoSize autoSize)
    : Control(parent, new QLabel(parent.ClientWidget()))
    , m_autoSize(autoSize)
{
    widget()->setFocusPolicy(Qt::NoFocus);
}

QString Label::Caption() const
{
    return static_cast<QLabel*>(widget())->text();
}

void Label::SetCaption(const QString& caption)
{
    static_cast<QLabel*>(widget())->setText(caption);
    fitToCaption();
}

void Label::fitToCaption()
{
    if (m_autoSize == AutoSize::Off)
        return;
    const QSize needed = widget()->sizeHint();
    Move(Left(), Top(), needed.width(), needed.height());
}

} // namespace platform
