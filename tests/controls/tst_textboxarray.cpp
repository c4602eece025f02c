#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/Window.h"
#include "platform/widgets/TextEditWidget.h"

#include <QScrollBar>
#include <QtTest>

#include <functional>
#include <set>

using namespace platform;

namespace {

constexpr float BoxHeight = 81;

// A viewport 396 pixels high inside over a scrolling canvas, as in the preview pane.
struct Pane {
    Pane()
    {
        viewport.Move(0, 0, 600, 400);
        canvas.Move(0, 0, 500, 0);
        array(0).Move(0, 0, 500, BoxHeight);
        form.Show();
    }

    // Loads boxes 1..count, box i at slot slots(i), all shown.
    void stack(
        int count, const std::function<int(int)>& slotOf = [](int i) { return i - 1; })
    {
        for (int i = 1; i <= count; ++i) {
            array.Load(i);
            array(i).Move(0, slotOf(i) * BoxHeight);
            array(i).SetVisible(true);
            array(i).SetText(QStringLiteral("box %1").arg(i));
        }
        canvas.SetHeight(static_cast<float>(count + 10) * BoxHeight);
    }

    // The boxes whose rows the viewport shows, worked out from the geometry alone.
    std::set<int> expectedInView() const
    {
        std::set<int> shown;
        const float top = -canvas.Top();
        for (int i = 1; i <= array.UBound(); ++i) {
            const TextBoxElement& box = array(i);
            if (box.Visible() && box.Width() > 0 && box.Height() > 0 && box.Top() < top + 396
                && box.Top() + box.Height() > top)
                shown.insert(i);
        }
        return shown;
    }

    // The boxes holding an editor; one that is hidden or shows another text counts as -i.
    std::set<int> withView() const
    {
        std::set<int> bound;
        for (int i = 1; i <= array.UBound(); ++i) {
            const TextEditWidget* view = array(i).View();
            QString text = array(i).Text();
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            if (view)
                bound.insert(view->isVisible() && view->toPlainText() == text ? i : -i);
        }
        return bound;
    }

    Window form {600, 400};
    PictureBox viewport {form, BorderStyle::FixedSingle};
    PictureBox canvas {viewport, BorderStyle::None};
    TextBoxArray array {canvas};
};

} // namespace

// The preview boxes: the control array's rules, and the editors lent to the boxes in view.
class TextBoxArrayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Regression: boxes in view are found by binary search over their Tops; it must stay
    // exact whatever order the Tops are in, however tall the boxes and wherever the canvas is.
    void boxesInViewHoldEditorsAfterScrolling_data()
    {
        QTest::addColumn<int>("order"); // the slot of box i: 0 i - 1, 1 descending, 2 shuffled
        QTest::addColumn<float>("tallHeight"); // box 1's height
        QTest::newRow("ascending") << 0 << BoxHeight;
        QTest::newRow("descending") << 1 << BoxHeight;
        QTest::newRow("shuffled") << 2 << BoxHeight;
        QTest::newRow("a tall first box spans the list") << 0 << 60 * BoxHeight;
        QTest::newRow("a tall box in a shuffled list") << 2 << 30 * BoxHeight;
    }
    void boxesInViewHoldEditorsAfterScrolling()
    {
        QFETCH(int, order);
        QFETCH(float, tallHeight);
        Pane pane;
        const std::function<int(int)> slots[]
            = {[](int i) { return i - 1; }, [](int i) { return 60 - i; }, [](int i) { return (i * 37) % 60; }};
        pane.stack(60, slots[order]);
        pane.array(1).Move(0, pane.array(1).Top(), 500, tallHeight);
        pane.array(2).SetVisible(false);
        pane.array(3).SetWidth(0);
        pane.array(4).Move(0, pane.array(4).Top(), 500, 0);
        for (float top = 0; top > -62 * BoxHeight; top -= 27) {
            pane.canvas.SetTop(top);
            QCOMPARE(pane.withView(), pane.expectedInView());
        }
        // A box moved after the index was built is found where it now is; and a change of width
        // alone, which skips the boxes above and below the shown rows, still gives, takes and
        // keeps the editors of the boxes in view.
        pane.array(50).Move(0, 20 * BoxHeight);
        pane.canvas.SetTop(-20.5f * BoxHeight);
        QCOMPARE(pane.withView(), pane.expectedInView());
        for (const float width : {0.0f, 420.0f}) {
            for (int i = 1; i <= 60; ++i)
                pane.array(i).SetWidth(width);
            QCOMPARE(pane.withView(), pane.expectedInView());
        }
        QCOMPARE(pane.array(*pane.withView().begin()).View()->width(), 420);
    }

    // Regression: editors are lent again uncleared, and a box whose text an editor shows is not
    // filled again; the box must look fresh, every line end showing as a line, and the editor
    // names its box now, to the user and to the program's double-click handler.
    void aLentEditorShowsItsBoxFromTheStartWithNothingSelected_data()
    {
        QTest::addColumn<bool>("sameText");
        QTest::newRow("every box holds the same text") << true;
        QTest::newRow("every box holds its own text") << false;
    }
    void aLentEditorShowsItsBoxFromTheStartWithNothingSelected()
    {
        QFETCH(bool, sameText);
        Pane pane;
        pane.stack(40);
        for (int i = 1; i <= 40; ++i) {
            pane.array(i).SetText(QStringLiteral("1\r\n2\r3\n4\r\n5\r\n6\r\n7\r\nend %1").arg(sameText ? 0 : i));
            pane.array(i).SetToolTipText(QStringLiteral("笔记%1.txt").arg(i));
        }
        QList<int> clicked;
        connect(&pane.array, &TextBoxArray::DblClick, this, [&](std::int16_t i) { clicked << i; });
        for (int i : pane.withView()) {
            TextEditWidget* view = pane.array(i).View();
            view->selectAll();
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        }
        pane.canvas.SetTop(-20 * BoxHeight);
        pane.canvas.SetTop(0);
        QList<int> shownBoxes;
        for (int i : pane.withView()) {
            TextEditWidget* shown = pane.array(i).View();
            QVERIFY(!shown->textCursor().hasSelection());
            QCOMPARE(shown->textCursor().position() + shown->verticalScrollBar()->value(), 0);
            QCOMPARE(shown->toolTip(), QStringLiteral("笔记%1.txt").arg(i));
            QCOMPARE(shown->accessibleName(), shown->toolTip());
            QTest::mouseDClick(shown->viewport(), Qt::LeftButton);
            shownBoxes << i;
        }
        QCOMPARE(clicked, shownBoxes);
    }
};

QTEST_MAIN(TextBoxArrayTest)
#include "tst_textboxarray.moc"
