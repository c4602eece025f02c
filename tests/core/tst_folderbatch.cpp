#include "platform/files/FolderBatch.h"
#include "platform/files/TextInput.h"
#include "support/ErrorOf.h"
#include "support/NoteFolder.h"

#include <QDir>
#include <QTest>

using platform::ErrorCode;
using platform::FolderBatch;
using platform::TextInput;
using namespace Qt::Literals::StringLiterals;

namespace {

QString firstLineOf(const QString& path)
{
    TextInput input(path);
    return input.AtEnd() ? QString() : input.ReadLine();
}

} // namespace

class tst_folderbatch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The folder a rebuild listed is the one it reads, even when another takes its path.
    void readsTheFolderItBeganWithWhenItsPathIsTaken()
    {
        NoteFolder root;
        const QString listed = root.makeFolder(u"notes"_s);
        root.write(u"notes/a.txt"_s, "listed\n");
        const QString prefix = listed + u'/';

        const FolderBatch batch(prefix);
        QVERIFY(QDir(root.path()).rename(u"notes"_s, u"moved"_s));
        root.makeFolder(u"notes"_s);
        root.write(u"notes/a.txt"_s, "replacement\n");

        QCOMPARE(FolderBatch::Current(), &batch);
        QCOMPARE(firstLineOf(prefix + u"a.txt"_s), u"listed"_s);
    }

    void opensEveryOtherPathInFullAndEndsWithItsScope()
    {
        NoteFolder root;
        const QString notes = root.makeFolder(u"notes"_s);
        root.makeFolder(u"notes/sub"_s);
        root.makeFolder(u"other"_s);
        root.write(u"notes/a.txt"_s, "a\n");
        root.write(u"notes/sub/b.txt"_s, "b\n");
        root.write(u"other/c.txt"_s, "c\n");
        {
            const FolderBatch batch(notes + u'/');
            QCOMPARE(firstLineOf(notes + u"/sub/b.txt"_s), u"b"_s);
            QCOMPARE(firstLineOf(root.path() + u"/other/c.txt"_s), u"c"_s);
            QCOMPARE(codeRaisedBy([&] { TextInput input(notes + u"/missing.txt"_s); }, ErrorCode::InvalidProcedureCall),
                ErrorCode::FileNotFound);
            {
                const FolderBatch inner(root.path() + u"/other/"_s);
                QCOMPARE(FolderBatch::Current(), &inner);
                QCOMPARE(firstLineOf(notes + u"/a.txt"_s), u"a"_s);
            }
            QCOMPARE(FolderBatch::Current(), &batch);
        }
        QCOMPARE(FolderBatch::Current(), nullptr);
    }

    // A folder that cannot be opened leaves every path to be opened in full.
    void aMissingFolderChangesNothing()
    {
        NoteFolder root;
        root.write(u"a.txt"_s, "a\n");
        const FolderBatch batch(root.path() + u"/absent/"_s);
        QCOMPARE(firstLineOf(root.path() + u"/a.txt"_s), u"a"_s);
        QCOMPARE(
            codeRaisedBy([&] { TextInput input(root.path() + u"/absent/a.txt"_s); }, ErrorCode::InvalidProcedureCall),
            ErrorCode::PathNotFound);
    }
};

QTEST_GUILESS_MAIN(tst_folderbatch)
#include "tst_folderbatch.moc"
