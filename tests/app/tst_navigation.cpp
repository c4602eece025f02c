#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/hang/ThreadStarter.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>

#include <system_error>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Move { DriveEnd, DriveDown, DriveDownTwice, DoubleClick, ClickThenEnter, Backspace, Paste };

// Three drives: a-disk holding the folder the program starts in, b-offline that does not
// answer, and c-disk, in that order after the root.
struct Drives : Desk {
    int builds {0};

    Drives()
    {
        for (const char* name : {"a-disk/a.txt", "a-disk/notes/n1.txt", "a-disk/notes/n2.txt",
                 "a-disk/notes/sub/s1.txt", "c-disk/c1.txt", "c-disk/x/y/z/zz.txt"})
            write(QByteArray(name));
        folder(u"b-offline"_s);
        start(path(u"a-disk/notes"_s), {path(u"a-disk"_s), path(u"b-offline"_s), path(u"c-disk"_s)},
            {path(u"b-offline"_s)});
        // Each build of the previews loads box 1 once.
        QObject::connect(&form().txtPreview, &platform::TextBoxArray::ElementLoaded,
            [this](std::int16_t index) { builds += index == 1; });
    }

    QComboBox* drives() { return qobject_cast<QComboBox*>(form().DriveList.widget()); }
    QListView* folders() { return qobject_cast<QListView*>(form().DirList.widget()); }
    QWidget* pathBox() { return form().txtPath.widget(); }
    QPoint rowOf(const QString& relative) { return folderRow(path(relative)); }

    // The lists and the previews show `relative` on its drive, and nothing is left busy.
    void checkAllShow(const QString& relative)
    {
        QCOMPARE(form().DriveList.Drive(), path(relative.section(u'/', 0, 0)) + u" [本地磁盘]"_s);
        QCOMPARE(form().DirList.Path(), path(relative));
        QCOMPARE(form().FileList.Path(), path(relative));
        QStringList tips; // box i shows file list entry i - 1
        for (int i = 1; i <= form().txtPreview.UBound(); ++i)
            tips << form().txtPreview(i).ToolTipText();
        QCOMPARE(tips, form().FileList.Names());
        QVERIFY(!form().NavBusy);
    }
};

} // namespace

Q_DECLARE_METATYPE(Move)

class NavigationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // The change events that a handler's own assignments raise are swallowed, or one move would
    // build the previews two or three times. Text that names no folder moves nothing. A drive
    // that is not ready leaves the folders, reads the files again and the drive list returns.
    void eachMoveShowsOneFolderEverywhereAndBuildsThePreviewsOnce_data()
    {
        QTest::addColumn<Move>("move");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("builds");
        QTest::newRow("End in the drive list") << Move::DriveEnd << QString() << u"c-disk"_s << 1;
        QTest::newRow("Down to the drive that does not answer")
            << Move::DriveDown << QString() << u"a-disk/notes"_s << 1;
        // Regression: the list went back to the drive it came from, and the next Down chose the
        // same drive again, so the arrow keys never got past it.
        QTest::newRow("Down twice, past the drive that does not answer")
            << Move::DriveDownTwice << QString() << u"c-disk"_s << 2;
        QTest::newRow("double-click a sub-folder")
            << Move::DoubleClick << u"a-disk/notes/sub"_s << u"a-disk/notes/sub"_s << 1;
        QTest::newRow("click, then Enter")
            << Move::ClickThenEnter << u"a-disk/notes/sub"_s << u"a-disk/notes/sub"_s << 1;
        QTest::newRow("Backspace to the parent") << Move::Backspace << QString() << u"a-disk"_s << 1;
        QTest::newRow("paste a folder") << Move::Paste << u"a-disk/notes/sub"_s << u"a-disk/notes/sub"_s << 1;
        QTest::newRow("paste a missing folder") << Move::Paste << u"a-disk/notes/zz"_s << u"a-disk/notes"_s << 0;
        QTest::newRow("paste a folder on the drive that does not answer")
            << Move::Paste << u"b-offline/x"_s << u"a-disk/notes"_s << 0;
    }
    void eachMoveShowsOneFolderEverywhereAndBuildsThePreviewsOnce()
    {
        QFETCH(Move, move);
        QFETCH(QString, target);
        QFETCH(QString, shown);
        QFETCH(int, builds);
        Drives desk;
        switch (move) {
        case Move::DriveEnd:
        case Move::DriveDown:
            desk.drives()->setFocus();
            QTest::keyClick(desk.drives(), move == Move::DriveEnd ? Qt::Key_End : Qt::Key_Down);
            break;
        case Move::DriveDownTwice:
            desk.drives()->setFocus();
            QTest::keyClick(desk.drives(), Qt::Key_Down);
            QTest::keyClick(desk.drives(), Qt::Key_Down);
            break;
        case Move::DoubleClick:
            doubleClick(desk.folders()->viewport(), desk.rowOf(target));
            break;
        case Move::ClickThenEnter:
            QTest::mouseClick(desk.folders()->viewport(), Qt::LeftButton, {}, desk.rowOf(target));
            QCOMPARE(desk.form().DirList.Path(), desk.path(u"a-disk/notes"_s)); // a click only selects
            QTest::keyClick(desk.folders(), Qt::Key_Return);
            break;
        case Move::Backspace:
            desk.folders()->setFocus();
            QTest::keyClick(desk.folders(), Qt::Key_Backspace);
            break;
        case Move::Paste:
            desk.pathBox()->setFocus();
            QTest::keyClick(desk.pathBox(), Qt::Key_A, Qt::ControlModifier);
            QGuiApplication::clipboard()->setText(desk.path(target));
            QTest::keyClick(desk.pathBox(), Qt::Key_V, Qt::ControlModifier);
            break;
        }
        desk.checkAllShow(shown);
        QCOMPARE(desk.form().txtPath.Text(), builds ? desk.path(shown) : desk.path(target));
        QCOMPARE(desk.builds, builds);
    }

    // Regression: the guard stayed set after each typed path, so every second keystroke and the
    // change after typing were swallowed; the lists stayed on a folder the text no longer named.
    void typingAPathProcessesEveryKeystrokeAndTheNextChange()
    {
        Drives desk;
        desk.pathBox()->setFocus();
        QTest::keyClick(desk.pathBox(), Qt::Key_End);
        QString expected = desk.path(u"a-disk/notes"_s);
        const auto typed = [&](auto keystroke) {
            keystroke();
            if (QFileInfo(desk.form().txtPath.Text()).isDir())
                expected = QDir::cleanPath(desk.form().txtPath.Text());
            QCOMPARE(desk.form().DirList.Path(), expected);
            QCOMPARE(desk.form().FileList.Path(), expected);
        };
        for (int i = 0; i < 12 && !QTest::currentTestFailed(); ++i) // back to "a-disk/notes"'s parent
            typed([&] { QTest::keyClick(desk.pathBox(), Qt::Key_Backspace); });
        for (QChar character : u"c-disk/x/y/z"_s)
            if (!QTest::currentTestFailed())
                typed([&] { QTest::keyClicks(desk.pathBox(), QString(character)); });
        desk.checkAllShow(u"c-disk/x/y/z"_s);
        desk.folders()->setFocus();
        QTest::keyClick(desk.folders(), Qt::Key_Backspace);
        desk.checkAllShow(u"c-disk/x/y"_s);
    }

    // Regression: a failure to start a thread (a process limit) escaped as an exception and ended
    // the program. Each move fails as a folder that does not answer does, and the program goes on.
    void aThreadThatCannotBeStartedFailsTheMoveAndNotTheProgram()
    {
        Drives desk;
        {
            const platform::ThreadStarter::Installed refusing([](std::function<void()>) {
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            });
            doubleClick(desk.folders()->viewport(), desk.rowOf(u"a-disk/notes/sub"_s));
            desk.drives()->setFocus();
            QTest::keyClick(desk.drives(), Qt::Key_End);
            desk.checkAllShow(u"a-disk/notes"_s);
            QCOMPARE(desk.previews().first(), u"n1.txt: 无法加载 "_s + desk.path(u"a-disk/notes/n1.txt"_s));
        }
        doubleClick(desk.folders()->viewport(), desk.rowOf(u"a-disk/notes/sub"_s));
        desk.checkAllShow(u"a-disk/notes/sub"_s);
        QCOMPARE(desk.previews(), QStringList {u"s1.txt: text"_s});
    }

    // Regression: the same folder read anew can list other files; the previews were left as
    // they were, and a double-click on a box opened the file at that place in the new list.
    void aPathThatReadsTheFolderAnewMendsThePreviews()
    {
        Drives desk;
        desk.write(u"a-disk/notes/n0.txt"_s, "arrived since\n");
        desk.pathBox()->setFocus();
        QTest::keyClick(desk.pathBox(), Qt::Key_End);
        QTest::keyClick(desk.pathBox(), Qt::Key_Slash);
        QCOMPARE(desk.previews().first(), u"n0.txt: arrived since"_s);
        desk.checkAllShow(u"a-disk/notes"_s);
    }
};

QTEST_MAIN(NavigationTest)

#include "tst_navigation.moc"
