#include "platform/desktop/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using platform::MessageBox;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

struct Seen {
    bool found {false};
    QMessageBox::Icon icon {QMessageBox::NoIcon};
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton {QMessageBox::NoButton};
};

// Once the box is up, records what it shows and presses the given button. The box is modal,
// so this runs from a timer inside its event loop; if it is not up yet, it looks again.
void answerWhenShown(Seen& seen, QMessageBox::StandardButton press, int triesLeft = 200)
{
    QTimer::singleShot(10, [&seen, press, triesLeft] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (triesLeft > 0)
                answerWhenShown(seen, press, triesLeft - 1);
            return;
        }
        seen.found = true;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons())
            seen.buttons.append(box->standardButton(button));
        if (box->defaultButton())
            seen.defaultButton = box->standardButton(box->defaultButton());
        QAbstractButton* target = box->button(press);
        if (target)
            target->click();
        else
            box->reject();
    });
}

} // namespace

class tst_messagebox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void errorBoxShowsExclamationTitleTextAndOneOkButton()
    {
        Seen seen;
        answerWhenShown(seen, QMessageBox::Ok);
        int answer = MessageBox::MsgBox(u"文件未找到"_s, 48, u"出错了，无法打开。"_s);
        QVERIFY(seen.found);
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.title, u"出错了，无法打开。"_s);
        QCOMPARE(seen.text, u"文件未找到"_s);
        QCOMPARE(seen.buttons, (QList<QMessageBox::StandardButton> {QMessageBox::Ok}));
        QCOMPARE(answer, int(MessageBox::Ok));
    }

    void styleChoosesIconAndButtons_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<int>("answer");

        using B = QMessageBox::StandardButton;
        QTest::newRow("plain") << 0 << QMessageBox::NoIcon << QList<B> {QMessageBox::Ok} << QMessageBox::Ok
                               << int(MessageBox::Ok);
        QTest::newRow("critical") << 16 << QMessageBox::Critical << QList<B> {QMessageBox::Ok} << QMessageBox::Ok
                                  << int(MessageBox::Ok);
        QTest::newRow("question yes/no, no")
            << 36 << QMessageBox::Question << QList<B> {QMessageBox::Yes, QMessageBox::No} << QMessageBox::No
            << int(MessageBox::No);
        QTest::newRow("information ok/cancel, cancel")
            << 65 << QMessageBox::Information << QList<B> {QMessageBox::Ok, QMessageBox::Cancel} << QMessageBox::Cancel
            << int(MessageBox::Cancel);
        QTest::newRow("exclamation ok/cancel, ok")
            << 49 << QMessageBox::Warning << QList<B> {QMessageBox::Ok, QMessageBox::Cancel} << QMessageBox::Ok
            << int(MessageBox::Ok);
        QTest::newRow("yes/no/cancel, yes")
            << 3 << QMessageBox::NoIcon << QList<B> {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
            << QMessageBox::Yes << int(MessageBox::Yes);
    }

    void styleChoosesIconAndButtons()
    {
        QFETCH(int, style);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QList<QMessageBox::StandardButton>, buttons);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(int, answer);
        Seen seen;
        answerWhenShown(seen, press);
        int given = MessageBox::MsgBox(u"text"_s, style, u"title"_s);
        QVERIFY(seen.found);
        QCOMPARE(seen.icon, icon);
        std::sort(seen.buttons.begin(), seen.buttons.end());
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(given, answer);
    }

    void secondDefaultButtonStyleSelectsIt()
    {
        Seen seen;
        answerWhenShown(seen, QMessageBox::No);
        MessageBox::MsgBox(u"text"_s, MessageBox::YesNo | MessageBox::DefaultButton2, u"title"_s);
        QCOMPARE(seen.defaultButton, QMessageBox::No);
    }

    void closingTheBoxAnswersCancel()
    {
        Seen seen;
        answerWhenShown(seen, QMessageBox::NoButton);
        QCOMPARE(MessageBox::MsgBox(u"text"_s, MessageBox::OkCancel, u"title"_s), int(MessageBox::Cancel));
    }
};

QTEST_MAIN(tst_messagebox)
#include "tst_messagebox.moc"
