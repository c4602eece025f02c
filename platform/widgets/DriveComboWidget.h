#pragma once

#include <QComboBox>

namespace platform {

// The drive list's combo box. It says when its popup is about to open, so that the list can
// read the mount table again first: a stick inserted a moment ago is then there to choose.
class DriveComboWidget : public QComboBox {
    Q_OBJECT

public:
    explicit DriveComboWidget(QWidget* parent);

    void showPopup() override;

Q_SIGNALS:
    void PopupAboutToShow();
};

} // namespace platform
