#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

void MessageBox::MsgBox(const QString& text, Style style, const QString& title)
{
    const QMessageBox::Icon icon = style == ExclamationOk ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
}

} // namespace platform
