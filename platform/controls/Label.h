#pragma once

#include "platform/controls/Control.h"

namespace platform {

enum class AutoSize { Off, On };

// Static text on its container. With AutoSize on, the label takes the size its caption needs
// in the label's font, on one line.
class Label : public Control {
    Q_OBJECT

public:
    Label(Container& parent, AutoSize autoSize);

    QString Caption() const;
    void SetCaption(const QString& caption);

private:
    void fitToCaption();

    AutoSize m_autoSize;
};

} // namespace platform
