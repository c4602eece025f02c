#pragma once

#include <QString>

namespace platform {

// The old runtime's message box: a modal box over the active window whose style value picks
// the buttons (its lowest three bits), the icon (16, 32, 48, 64) and the default button
// (0, 256, 512). The answer is the number of the button pressed; closing the box answers as
// its Cancel (or only) button would.
class MessageBox {
public:
    enum Style : int {
        OkOnly = 0,
        OkCancel = 1,
        AbortRetryIgnore = 2,
        YesNoCancel = 3,
        YesNo = 4,
        RetryCancel = 5,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
        DefaultButton2 = 256,
        DefaultButton3 = 512,
    };

    enum Answer : int {
        Ok = 1,
        Cancel = 2,
        Abort = 3,
        Retry = 4,
        Ignore = 5,
        Yes = 6,
        No = 7,
    };

    static int MsgBox(const QString& text, int style, const QString& title);
};

} // namespace platform
