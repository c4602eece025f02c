#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/Window.h"
#include "platform/runtime/Error.h"
#include "platform/widgets/TextEditWidget.h"

#include <QFrame>
#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <QPointer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

using namespace platform;

namespace {

constexpr float BoxHeight = 81;

// A viewport 396 pixels high inside, holding a canvas that scrolls under it, as the preview
// pane does: four whole boxes and part of a fifth are in view at any time.
struct Pane {
    Pane()
        : form(600, 400)
        , viewport(form, BorderStyle::FixedSingle)
        , canvas(viewport, BorderStyle::None)
        , array(canvas)
    {
        viewport.Move(0, 0, 600, 400);
        canvas.Move(0, 0, 500, 0);
        array(0).Move(0, 0, 500, BoxHeight);
        array(0).SetVisible(false);
        form.Show();
    }

    // Loads boxes 1..count, box i at the Top given by topOf(i), all shown.
    template<typename TopOf> void stack(int count, TopOf topOf, float height = BoxHeight)
    {
        float bottom = 0;
        for (int i = 1; i <= count; ++i) {
            array.Load(i);
            array(i).Move(0, topOf(i), 500, height);
            array(i).SetVisible(true);
            array(i).SetText(QStringLiteral("box %1").arg(i));
            bottom = std::max(bottom, topOf(i) + height);
        }
        canvas.SetHeight(bottom);
    }

    void stack(int count)
    {
        stack(count, [](int i) { return (i - 1) * BoxHeight; });
    }

    void scrollTo(float canvasTop) { canvas.SetTop(canvasTop); }

    bool exists(int i) const
    {
        try {
            array(i);
            return true;
        } catch (const Error&) {
            return false;
        }
    }

    // The elements whose box the viewport shows, worked out from the geometry alone.
    std::set<int> expectedInView() const
    {
        std::set<int> shown;
        const float top = -canvas.Top();
        const float bottom = top + viewport.ScaleHeight();
        for (int i = array.LBound(); i <= array.UBound(); ++i) {
            if (!exists(i))
                continue;
            const TextBoxElement& box = array(i);
            if (box.Visible() && box.Width() > 0 && box.Height() > 0 && box.Top() < bottom
                && box.Top() + box.Height() > top)
                shown.insert(i);
        }
        return shown;
    }

    std::set<int> withView() const
    {
        std::set<int> bound;
        for (int i = array.LBound(); i <= array.UBound(); ++i) {
            if (exists(i) && array(i).View())
                bound.insert(i);
        }
        return bound;
    }

    Window form;
    PictureBox viewport;
    PictureBox canvas;
    TextBoxArray array;
};

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& error) {
        return error.number();
    }
    return 0;
}

} // namespace

class TextBoxArrayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadMakesAHiddenCopyOfTheTemplate()
    {
        Pane pane;
        pane.array(0).SetText(QStringLiteral("template"));
        pane.array(0).SetToolTipText(QStringLiteral("tip"));
        pane.array.Load(3);
        const TextBoxElement& copy = pane.array(3);
        QVERIFY(!copy.Visible());
        QCOMPARE(copy.Width(), 500.0f);
        QCOMPARE(copy.Height(), BoxHeight);
        QCOMPARE(copy.Text(), QStringLiteral("template"));
        QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
        QVERIFY(copy.View() == nullptr);
        QCOMPARE(pane.array.LBound(), std::int16_t {0});
        QCOMPARE(pane.array.UBound(), std::int16_t {3});
        QCOMPARE(pane.array.Count(), std::size_t {2});
        QVERIFY(!pane.exists(2));
    }

    void indexErrorsFollowTheControlArrayRules_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("error");
        enum { Load, Unload, Lookup };
        QTest::newRow("loading a loaded index") << int(Load) << 1 << 360;
        QTest::newRow("loading a negative index") << int(Load) << -1 << 340;
        QTest::newRow("loading past 16 bits") << int(Load) << 32768 << 6;
        QTest::newRow("unloading the template") << int(Unload) << 0 << 5;
        QTest::newRow("unloading a hole") << int(Unload) << 2 << 340;
        QTest::newRow("looking up a hole") << int(Lookup) << 2 << 340;
        QTest::newRow("looking up past the end") << int(Lookup) << 300 << 340;
    }
    void indexErrorsFollowTheControlArrayRules()
    {
        QFETCH(int, operation);
        QFETCH(int, index);
        QFETCH(int, error);
        Pane pane;
        pane.array.Load(1);
        pane.array.Load(3);
        const int got = errorOf([&] {
            if (operation == 0)
                pane.array.Load(index);
            else if (operation == 1)
                pane.array.Unload(index);
            else
                pane.array(index);
        });
        QCOMPARE(got, error);
        QCOMPARE(pane.array.Count(), std::size_t {3});
    }

    void elementsKeepTheirAddressWhileOthersComeAndGo()
    {
        Pane pane;
        pane.array.Load(1);
        TextBoxElement* first = &pane.array(1);
        for (int i = 2; i <= 2000; ++i)
            pane.array.Load(i);
        for (int i = 2000; i >= 2; --i)
            pane.array.Unload(i);
        QCOMPARE(&pane.array(1), first);
        QCOMPARE(pane.array.UBound(), std::int16_t {1});
    }

    void unloadingTheHighestLowersUBoundPastHoles()
    {
        Pane pane;
        pane.array.Load(1);
        pane.array.Load(700);
        pane.array.Unload(700);
        QCOMPARE(pane.array.UBound(), std::int16_t {1});
        pane.array.Unload(1);
        QCOMPARE(pane.array.UBound(), std::int16_t {0});
        QCOMPARE(pane.array.Count(), std::size_t {1});
    }

    void loadAndUnloadAreAnnouncedInOrder()
    {
        Pane pane;
        QList<int> events;
        connect(&pane.array, &TextBoxArray::ElementLoaded, this, [&](std::int16_t i) { events << i; });
        connect(&pane.array, &TextBoxArray::ElementUnloaded, this, [&](std::int16_t i) { events << -i; });
        pane.array.Load(1);
        pane.array.Load(2);
        pane.array.Unload(2);
        pane.array.Unload(1);
        QCOMPARE(events, (QList<int> {1, 2, -2, -1}));
    }

    void onlyBoxesInViewHoldAnEditor_data()
    {
        QTest::addColumn<float>("canvasTop");
        QTest::newRow("at the top") << 0.0f;
        QTest::newRow("one box down") << -BoxHeight;
        QTest::newRow("half a box down") << -40.5f;
        QTest::newRow("far down") << -70 * BoxHeight;
        QTest::newRow("at the end") << -(100 * BoxHeight - 396);
    }
    void onlyBoxesInViewHoldAnEditor()
    {
        QFETCH(float, canvasTop);
        Pane pane;
        pane.stack(100);
        pane.scrollTo(canvasTop);
        QCOMPARE(pane.withView(), pane.expectedInView());
        QCOMPARE(pane.array.BoundViews(), pane.expectedInView().size());
        QVERIFY(pane.array.BoundViews() >= 5);
    }

    // Regression: elements in view are found by binary search over Tops; the search must stay
    // exact whatever order the Tops are in and however tall the boxes are.
    void boxesInViewAreFoundWhateverTheOrderOfTheirTops_data()
    {
        QTest::addColumn<QList<int>>("slots"); // box i sits in slot slots[i - 1]
        QTest::addColumn<float>("tallHeight"); // height of box 1; the others are one box high
        QList<int> descending;
        QList<int> shuffled;
        for (int i = 0; i < 60; ++i) {
            descending << 59 - i;
            shuffled << (i * 37) % 60;
        }
        QList<int> ascending = descending;
        std::reverse(ascending.begin(), ascending.end());
        QTest::newRow("ascending") << ascending << BoxHeight;
        QTest::newRow("descending") << descending << BoxHeight;
        QTest::newRow("shuffled") << shuffled << BoxHeight;
        QTest::newRow("a tall first box spans the list") << ascending << 60 * BoxHeight;
        QTest::newRow("a tall box in a shuffled list") << shuffled << 30 * BoxHeight;
    }
    void boxesInViewAreFoundWhateverTheOrderOfTheirTops()
    {
        QFETCH(QList<int>, slots);
        QFETCH(float, tallHeight);
        Pane pane;
        pane.stack(static_cast<int>(slots.size()), [&](int i) { return slots[i - 1] * BoxHeight; });
        pane.array(1).Move(0, pane.array(1).Top(), 500, tallHeight);
        pane.canvas.SetHeight(70 * BoxHeight);
        for (float top = 0; top > -62 * BoxHeight; top -= 27) {
            pane.scrollTo(top);
            QCOMPARE(pane.withView(), pane.expectedInView());
        }
    }

    void aBoxMovedAfterScrollingIsFoundWhereItNowIs()
    {
        Pane pane;
        pane.stack(50);
        pane.scrollTo(-30 * BoxHeight);
        pane.scrollTo(0);
        pane.array(40).Move(0, 2 * BoxHeight); // into view, over box 3
        QVERIFY(pane.array(40).View() != nullptr);
        pane.scrollTo(-39 * BoxHeight); // where box 40 was
        QCOMPARE(pane.withView(), pane.expectedInView());
        QVERIFY(pane.array(40).View() == nullptr);
        pane.scrollTo(-BoxHeight);
        QCOMPARE(pane.withView(), pane.expectedInView());
        QVERIFY(pane.array(40).View() != nullptr);
    }

    void hiddenAndEmptyBoxesHoldNoEditor()
    {
        Pane pane;
        pane.stack(10);
        pane.array(2).SetVisible(false);
        pane.array(3).SetWidth(0);
        pane.array(4).Move(0, pane.array(4).Top(), 500, 0);
        QVERIFY(pane.array(1).View() != nullptr);
        QVERIFY(pane.array(2).View() == nullptr);
        QVERIFY(pane.array(3).View() == nullptr);
        QVERIFY(pane.array(4).View() == nullptr);
        pane.scrollTo(-1);
        QCOMPARE(pane.withView(), pane.expectedInView());
    }

    // Regression: a width-only change skips the binding work for boxes above or below the
    // shown part; it must still lend an editor to a box in view that had no width, take it
    // from one narrowed to nothing, and resize the editors that stay.
    void wideningEveryBoxKeepsEditorsOnExactlyTheBoxesInView_data()
    {
        QTest::addColumn<float>("canvasTop");
        QTest::addColumn<float>("firstWidth"); // every box's width before the widening
        QTest::addColumn<float>("secondWidth");
        QTest::newRow("from nothing, at the top") << 0.0f << 0.0f << 420.0f;
        QTest::newRow("from nothing, far down") << -60 * BoxHeight << 0.0f << 420.0f;
        QTest::newRow("half a box down, to nothing") << -40.5f << 500.0f << 0.0f;
        QTest::newRow("wider, at the end") << -(100 * BoxHeight - 396) << 300.0f << 480.5f;
    }
    void wideningEveryBoxKeepsEditorsOnExactlyTheBoxesInView()
    {
        QFETCH(float, canvasTop);
        QFETCH(float, firstWidth);
        QFETCH(float, secondWidth);
        Pane pane;
        pane.stack(100);
        pane.array(7).SetVisible(false);
        pane.scrollTo(canvasTop);
        for (int i = 1; i <= 100; ++i)
            pane.array(i).SetWidth(firstWidth);
        for (int i = 1; i <= 100; ++i)
            pane.array(i).SetWidth(secondWidth);
        QCOMPARE(pane.withView(), pane.expectedInView());
        QCOMPARE(pane.array(7).Width(), secondWidth);
        for (int i : pane.withView())
            QCOMPARE(pane.array(i).View()->width(), static_cast<int>(std::lround(secondWidth)));
    }

    void unloadingABoxInViewReleasesItsEditor()
    {
        Pane pane;
        pane.stack(3);
        QCOMPARE(pane.array.BoundViews(), std::size_t {3});
        QPointer<TextEditWidget> view = pane.array(3).View();
        pane.array.Unload(3);
        QCOMPARE(pane.array.BoundViews(), std::size_t {2});
        QVERIFY(view);
        QVERIFY(view->isHidden());
    }

    // A scroll step by one box lends one editor and fills one; the others keep theirs, with
    // their text untouched.
    void aOneBoxStepFillsOnlyTheBoxThatArrives()
    {
        Pane pane;
        pane.stack(100);
        pane.scrollTo(-10 * BoxHeight);
        std::map<int, std::pair<TextEditWidget*, int>> before;
        for (int i : pane.withView())
            before[i] = {pane.array(i).View(), pane.array(i).View()->document()->revision()};
        pane.scrollTo(-11 * BoxHeight);
        int refilled = 0;
        for (int i : pane.withView()) {
            TextEditWidget* view = pane.array(i).View();
            if (before.count(i)) {
                QCOMPARE(view, before[i].first);
                QCOMPARE(view->document()->revision(), before[i].second);
            } else {
                ++refilled;
            }
            QCOMPARE(view->toPlainText(), QStringLiteral("box %1").arg(i));
        }
        QCOMPARE(refilled, 1);
    }

    // Regression: editors are lent again without being cleared, and a box whose text an
    // editor already shows is not filled again; either way the box must look fresh.
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
        const auto textOf = [&](int i) {
            return QStringLiteral("line 1\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\nline 7\r\nend %1")
                .arg(sameText ? 0 : i);
        };
        for (int i = 1; i <= 40; ++i)
            pane.array(i).SetText(textOf(i));
        for (int i : pane.withView()) {
            TextEditWidget* view = pane.array(i).View();
            view->selectAll();
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
            QVERIFY(view->verticalScrollBar()->value() > 0);
        }
        pane.scrollTo(-20 * BoxHeight);
        pane.scrollTo(0);
        for (int i : pane.withView()) {
            TextEditWidget* shown = pane.array(i).View();
            QVERIFY(!shown->textCursor().hasSelection());
            QCOMPARE(shown->textCursor().position(), 0);
            QCOMPARE(shown->verticalScrollBar()->value(), 0);
            QCOMPARE(shown->toPlainText(), QString(textOf(i)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
    }

    void lineEndsOfTheTextShowAsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\nc");
        QTest::newRow("lone CR") << QStringLiteral("a\rb\rc");
        QTest::newRow("LF") << QStringLiteral("a\nb\nc");
    }
    void lineEndsOfTheTextShowAsLines()
    {
        QFETCH(QString, text);
        Pane pane;
        pane.stack(1);
        pane.array(1).SetText(text);
        QCOMPARE(pane.array(1).View()->toPlainText(), QStringLiteral("a\nb\nc"));
        QCOMPARE(pane.array(1).View()->document()->blockCount(), 3);
    }

    void editorCarriesTheTipAndAccessibleNameOfItsBox()
    {
        Pane pane;
        pane.stack(2);
        pane.array(2).SetToolTipText(QStringLiteral("笔记.txt"));
        QCOMPARE(pane.array(2).View()->toolTip(), QStringLiteral("笔记.txt"));
        QCOMPARE(pane.array(2).View()->accessibleName(), QStringLiteral("笔记.txt"));
    }

    void doubleClickReportsTheIndexOfTheBox()
    {
        Pane pane;
        pane.stack(3);
        QList<int> clicked;
        connect(&pane.array, &TextBoxArray::DblClick, this, [&](std::int16_t i) { clicked << i; });
        QTest::mouseDClick(pane.array(2).View()->viewport(), Qt::LeftButton);
        QCOMPARE(clicked, QList<int> {2});
    }

    // Regression: the frames of the boxes and of the viewport are painted with rectangles
    // instead of the style's polylines; they must look exactly as the style draws them.
    void sunkenFramesLookAsTheStyleDrawsThem()
    {
        Pane pane;
        pane.stack(1);
        TextEditWidget* view = pane.array(1).View();
        QVERIFY(view);
        checkFrame(view, view->palette());
        checkFrame(pane.viewport.widget(), pane.viewport.widget()->palette());
    }

    // Regression: a box keeps its shaped glyphs and is filled through its document, not
    // through the editor's own setter; it must still draw exactly what a plain editor with the
    // same settings draws, before and after being filled again.
    void aBoxDrawsWhatAPlainEditorDraws()
    {
        const QString text = QStringLiteral("第 1 篇笔记 Note\n  今天的记录，some words of a plain note.\nthird");
        TextEditWidget box(nullptr);
        QPlainTextEdit plain;
        plain.setReadOnly(true);
        plain.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        plain.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        plain.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        plain.document()->setDocumentMargin(0);
        plain.setPlainText(text);
        for (QWidget* widget : {static_cast<QWidget*>(&box), static_cast<QWidget*>(&plain)})
            widget->resize(300, 81);
        box.ShowText(QStringLiteral("something else first"));
        box.grab();
        box.ShowText(text);
        QCOMPARE(box.grab().toImage(), plain.grab().toImage());
        QCOMPARE(box.grab().toImage(), plain.grab().toImage());
    }

private:
    static void checkFrame(QWidget* widget, const QPalette& palette)
    {
        QFrame reference;
        reference.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        reference.setPalette(palette);
        reference.resize(widget->size());
        const QImage expected = reference.grab().toImage();
        const QImage actual = widget->grab().toImage();
        QCOMPARE(actual.size(), expected.size());
        const int w = actual.width();
        const int h = actual.height();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (x >= 2 && x < w - 2 && y >= 2 && y < h - 2)
                    continue;
                if (actual.pixel(x, y) != expected.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("frame pixel %1,%2 differs").arg(x).arg(y)));
            }
        }
    }
};

QTEST_MAIN(TextBoxArrayTest)
#include "tst_textboxarray.moc"
