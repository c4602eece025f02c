#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/Window.h"
#include "platform/runtime/Error.h"

#include <QFontMetricsF>
#include <QWidget>
#include <QtTest>

using namespace platform;

class ControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rejectsNegativeWidthAndKeepsGeometry()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        box.Move(10, 20, 30, 40);
        int resizes = 0;
        connect(&box, &PictureBox::Resize, this, [&] { ++resizes; });

        QVERIFY_THROWS_EXCEPTION(Error, box.Move(50, 60, -1, 70));
        QVERIFY_THROWS_EXCEPTION(Error, box.Move(50, 60, 70, -0.5));
        QCOMPARE(box.Left(), 10.0f);
        QCOMPARE(box.Top(), 20.0f);
        QCOMPARE(box.Width(), 30.0f);
        QCOMPARE(box.Height(), 40.0f);
        QCOMPARE(resizes, 0);
        QCOMPARE(box.widget()->geometry(), QRect(10, 20, 30, 40));
    }

    void moveKeepsOmittedArgumentsAndAcceptsZeroSize()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        box.Move(10, 20, 30, 40);
        box.Move(5);
        QCOMPARE(box.Top(), 20.0f);
        box.Move(5, 6, 0);
        QCOMPARE(box.Width(), 0.0f);
        QCOMPARE(box.Height(), 40.0f);
        box.SetHeight(0);
        QCOMPARE(box.Height(), 0.0f);
    }

    void resizeIsRaisedSynchronouslyAndOnlyOnARealChange()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        box.Move(0, 0, 100, 100);
        float widthSeenByHandler = -1;
        int resizes = 0;
        connect(&box, &PictureBox::Resize, this, [&] {
            ++resizes;
            widthSeenByHandler = box.Width();
        });
        box.SetWidth(120);
        QCOMPARE(resizes, 1);
        QCOMPARE(widthSeenByHandler, 120.0f);
        box.SetWidth(120);
        box.Move(0, 0, 120, 100);
        QCOMPARE(resizes, 1);
        box.Move(30, 40);
        QCOMPARE(resizes, 1); // a move without a size change is no resize
        box.SetHeight(101);
        QCOMPARE(resizes, 2);
    }

    void resizeHandlerThatResizesTheSameBoxNestsAndSettles()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        box.Move(0, 0, 100, 100);
        QList<float> seen;
        connect(&box, &PictureBox::Resize, this, [&] {
            seen.append(box.Width());
            if (box.Width() > 150)
                box.SetWidth(150);
        });
        box.SetWidth(200);
        QCOMPARE(seen, (QList<float> {200.0f, 150.0f}));
        QCOMPARE(box.Width(), 150.0f);
        QCOMPARE(box.widget()->width(), 150);
    }

    void textChangeHandlerThatWritesBackEndsWithTheLastText()
    {
        Window form(400, 300);
        TextBox text(form);
        QStringList seen;
        connect(&text, &TextBox::Change, this, [&] {
            seen.append(text.Text());
            if (text.Text() == QStringLiteral("/home/"))
                text.SetText(QStringLiteral("/home"));
        });
        text.SetText(QStringLiteral("/home/"));
        QCOMPARE(seen, (QStringList {QStringLiteral("/home/"), QStringLiteral("/home")}));
        QCOMPARE(text.Text(), QStringLiteral("/home"));
        text.SetText(QStringLiteral("/home"));
        QCOMPARE(seen.size(), 2);
    }

    void typingRaisesChangeForEveryKeystroke()
    {
        Window form(400, 300);
        TextBox text(form);
        text.Move(0, 0, 200, 20);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        int changes = 0;
        connect(&text, &TextBox::Change, this, [&] { ++changes; });
        QTest::keyClicks(text.widget(), QStringLiteral("/tmp"));
        QCOMPARE(changes, 4);
        QCOMPARE(text.Text(), QStringLiteral("/tmp"));
    }

    void singleBorderLeavesAnInteriorFourPixelsSmaller()
    {
        Window form(801, 506);
        PictureBox framed(form, BorderStyle::FixedSingle);
        PictureBox plain(form, BorderStyle::None);
        framed.Move(224, 0, 577, 506);
        plain.Move(0, 0, 545, 81);
        QCOMPARE(framed.ScaleWidth(), 573.0f);
        QCOMPARE(framed.ScaleHeight(), 502.0f);
        QCOMPARE(plain.ScaleHeight(), 81.0f);
    }

    void dockedRightBoxStaysFlushAtFullHeight()
    {
        Window form(801, 506);
        PictureBox viewport(form, BorderStyle::FixedSingle);
        viewport.Move(224, 0, 577, 506);
        viewport.SetDock(Dock::Right);
        int resizes = 0;
        connect(&viewport, &PictureBox::Resize, this, [&] { ++resizes; });

        viewport.SetWidth(585);
        QCOMPARE(viewport.Left(), 216.0f);
        QCOMPARE(resizes, 1);

        form.ResizeClient(901, 606);
        QCOMPARE(viewport.Left(), 316.0f);
        QCOMPARE(viewport.Top(), 0.0f);
        QCOMPARE(viewport.Height(), 606.0f);
        QCOMPARE(viewport.Width(), 585.0f);
        QCOMPARE(resizes, 2);

        // The program cannot move a docked box off the edge.
        viewport.Move(0, 50, 300, 10);
        QCOMPARE(viewport.Left(), 601.0f);
        QCOMPARE(viewport.Height(), 606.0f);
    }

    void windowRaisesResizeOnlyWhenTheClientSizeChanges()
    {
        Window form(801, 506);
        int resizes = 0;
        connect(&form, &Window::Resize, this, [&] { ++resizes; });
        form.ResizeClient(801, 506);
        QCOMPARE(resizes, 0);
        form.ResizeClient(600, 400);
        QCOMPARE(resizes, 1);
        QCOMPARE(form.ScaleWidth(), 600.0f);
        QCOMPARE(form.ScaleHeight(), 400.0f);
    }

    void loadIsRaisedOnceBeforeTheWindowIsShown()
    {
        Window form(300, 200);
        int loads = 0;
        bool visibleDuringLoad = true;
        connect(&form, &Window::Load, this, [&] {
            ++loads;
            visibleDuringLoad = form.widget()->isVisible();
        });
        form.Show();
        form.Show();
        QCOMPARE(loads, 1);
        QVERIFY(!visibleDuringLoad);
    }

    void textHeightIsTheFontLineHeightPerLine()
    {
        Window form(300, 200);
        PictureBox box(form, BorderStyle::None);
        const qreal line = QFontMetricsF(box.widget()->font()).height();
        QCOMPARE(box.TextHeight(QStringLiteral("A")), static_cast<float>(line));
        QCOMPARE(box.TextHeight(QStringLiteral("A\nB")), static_cast<float>(2 * line));
    }

    void autoSizedLabelFitsItsCaptionOnOneLine()
    {
        Window form(300, 200);
        Label label(form, AutoSize::On);
        label.SetCaption(QStringLiteral("请设置文档的路径"));
        QCOMPARE(label.Width(), static_cast<float>(label.widget()->sizeHint().width()));
        QVERIFY(label.Height() < 2 * QFontMetricsF(label.widget()->font()).height());
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
