#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace platform {

namespace {

using Button = std::pair<QMessageBox::StandardButton, MessageBox::Answer>;

QList<Button> buttonsFor(int style)
{
    switch (style & 7) {
    case MessageBox::OkCancel:
        return {{QMessageBox::Ok, MessageBox::Ok}, {QMessageBox::Cancel, MessageBox::Cancel}};
    case MessageBox::AbortRetryIgnore:
        return {{QMessageBox::Abort, MessageBox::Abort}, {QMessageBox::Retry, MessageBox::Retry},
            {QMessageBox::Ignore, MessageBox::Ignore}};
    case MessageBox::YesNoCancel:
        return {{QMessageBox::Yes, MessageBox::Yes}, {QMessageBox::No, MessageBox::No},
            {QMessageBox::Cancel, MessageBox::Cancel}};
    case MessageBox::YesNo:
        return {{QMessageBox::Yes, MessageBox::Yes}, {QMessageBox::No, MessageBox::No}};
    case MessageBox::RetryCancel:
        return {{QMessageBox::Retry, MessageBox::Retry}, {QMessageBox::Cancel, MessageBox::Cancel}};
    default:
        return {{QMessageBox::Ok, MessageBox::Ok}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case MessageBox::Critical:
        return QMessageBox::Critical;
    case MessageBox::Question:
        return QMessageBox::Question;
    case MessageBox::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

qsizetype defaultIndexFor(int style)
{
    return (style & 0x300) >> 8;
}

} // namespace

int MessageBox::MsgBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(iconFor(style), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    const QList<Button> buttons = buttonsFor(style);
    for (const Button& button : buttons)
        box.addButton(button.first);
    qsizetype defaultIndex = defaultIndexFor(style);
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].first);
    box.exec();
    // Closing the box (Escape, the title bar) answers as its escape button, which Qt picks
    // as Cancel, No or the only button.
    QAbstractButton* pressed = box.clickedButton();
    for (const Button& button : buttons) {
        if (box.button(button.first) == pressed)
            return button.second;
    }
    return buttons.size() == 1 ? buttons.front().second : Cancel;
}

} // namespace platform
