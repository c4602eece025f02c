#pragma once

#include <QString>

namespace platform {

// The old runtime's message box: a modal box over the active window. Its style value says
// which icon and buttons it shows; the program uses one style, and only that one is here.
class MessageBox {
public:
    enum Style : int {
        // The exclamation icon and a single OK button, which is the default one.
        ExclamationOk = 48,
    };

    // Returns when the user has pressed OK or closed the box.
    static void MsgBox(const QString& text, Style style, const QString& title);
};

} // namespace platform
