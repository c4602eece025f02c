#pragma once

#include "platform/controls/Control.h"

class QLineEdit;

namespace platform {

// A single-line, editable text box. Change is raised synchronously for every change of Text,
// whether the user typed it or the program assigned it; assigning the same text raises
// nothing. A Change handler may assign Text again: the nested change is raised in turn and
// the box ends with the last text assigned.
class TextBox : public Control {
    Q_OBJECT

public:
    explicit TextBox(Container& parent);

    QString Text() const { return m_text; }
    void SetText(const QString& text);

Q_SIGNALS:
    void Change();

private:
    void userEdited(const QString& text);

    QLineEdit* m_edit;
    QString m_text;
};

} // namespace platform
