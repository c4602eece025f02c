#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>
#include <QtEndian>

// The program's icon as the packages carry it, read from the files that the icon script
// produced: the Windows icon with its three palette images, checked byte by byte against the
// icon file layout, and the image sizes of the desktop icon theme.
class tst_icon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowsIconHoldsExactlyThreeImages();
    void windowsIconImageHasItsSizeAndColourDepth_data();
    void windowsIconImageHasItsSizeAndColourDepth();
    void windowsIconImageShowsADrawingOnATransparentGround_data();
    void windowsIconImageShowsADrawingOnATransparentGround();
    void qtReadsEveryWindowsIconImageAsTheThemeShowsIt_data();
    void qtReadsEveryWindowsIconImageAsTheThemeShowsIt();
    void themeImageHasTheSizeItsFolderNames_data();
    void themeImageHasTheSizeItsFolderNames();

private:
    struct Entry {
        int width {0};
        int height {0};
        int colourCount {0};
        int planes {0};
        int bitCount {0};
        qint64 bytes {0};
        qint64 offset {0};
    };

    // One image of the icon file, unpacked from its bitmap: a palette index and a
    // transparency bit per pixel, top row first.
    struct Bitmap {
        int width {0};
        int height {0};
        int bitCount {0};
        QList<QRgb> palette;
        QList<int> indices;
        QList<bool> transparent;
    };

    static QString iconFile(const QString& name);
    static QByteArray readIcon();
    static QList<Entry> entries(const QByteArray& icon);
    static Bitmap unpack(const QByteArray& icon, const Entry& entry);
    static void addImageRows();
};

namespace {

constexpr int DirectorySize = 6;
constexpr int EntrySize = 16;
constexpr int BitmapHeaderSize = 40;

quint16 word(const QByteArray& data, qint64 at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 dword(const QByteArray& data, qint64 at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

// Bitmap rows are padded to whole 32-bit words.
qint64 rowBytes(int width, int bitCount)
{
    return (qint64(width) * bitCount + 31) / 32 * 4;
}

int bitsAt(const QByteArray& data, qint64 rowStart, int x, int bitCount)
{
    const int bit = x * bitCount;
    const auto byte = static_cast<unsigned char>(data.at(rowStart + bit / 8));
    const int shift = 8 - bitCount - bit % 8;
    return (byte >> shift) & ((1 << bitCount) - 1);
}

} // namespace

QString tst_icon::iconFile(const QString& name)
{
    return QFINDTESTDATA(QStringLiteral("../../packaging/icons/") + name);
}

QByteArray tst_icon::readIcon()
{
    QFile file(iconFile(QStringLiteral("vellumry.ico")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<tst_icon::Entry> tst_icon::entries(const QByteArray& icon)
{
    QList<Entry> result;
    if (icon.size() < DirectorySize)
        return result;
    const int count = word(icon, 4);
    for (int i = 0; i < count; ++i) {
        const qint64 at = DirectorySize + qint64(i) * EntrySize;
        if (at + EntrySize > icon.size())
            break;
        Entry entry;
        // A width or height of 0 stands for 256.
        entry.width = static_cast<unsigned char>(icon.at(at)) ? static_cast<unsigned char>(icon.at(at)) : 256;
        entry.height = static_cast<unsigned char>(icon.at(at + 1)) ? static_cast<unsigned char>(icon.at(at + 1)) : 256;
        entry.colourCount = static_cast<unsigned char>(icon.at(at + 2));
        entry.planes = word(icon, at + 4);
        entry.bitCount = word(icon, at + 6);
        entry.bytes = dword(icon, at + 8);
        entry.offset = dword(icon, at + 12);
        result.append(entry);
    }
    return result;
}

// Returns an empty bitmap when the image's bytes do not describe a palette image of the size
// its entry states; the callers' comparisons then name what is wrong.
tst_icon::Bitmap tst_icon::unpack(const QByteArray& icon, const Entry& entry)
{
    Bitmap bitmap;
    const qint64 at = entry.offset;
    if (at + BitmapHeaderSize > icon.size() || dword(icon, at) != BitmapHeaderSize)
        return bitmap;
    const int width = static_cast<qint32>(dword(icon, at + 4));
    const int doubledHeight = static_cast<qint32>(dword(icon, at + 8));
    const int bitCount = word(icon, at + 14);
    const quint32 compression = dword(icon, at + 16);
    const quint32 coloursUsed = dword(icon, at + 32);
    if (word(icon, at + 12) != 1 || compression != 0 || (bitCount != 1 && bitCount != 4 && bitCount != 8))
        return bitmap;
    const int height = doubledHeight / 2;
    const int paletteSize = coloursUsed ? int(coloursUsed) : 1 << bitCount;
    const qint64 paletteAt = at + BitmapHeaderSize;
    const qint64 colourAt = paletteAt + 4 * qint64(paletteSize);
    const qint64 maskAt = colourAt + rowBytes(width, bitCount) * height;
    const qint64 end = maskAt + rowBytes(width, 1) * height;
    if (width <= 0 || height <= 0 || end - at != entry.bytes || end > icon.size())
        return bitmap;

    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitCount = bitCount;
    for (int i = 0; i < paletteSize; ++i) {
        const qint64 colour = paletteAt + 4 * qint64(i);
        bitmap.palette.append(qRgb(static_cast<unsigned char>(icon.at(colour + 2)),
            static_cast<unsigned char>(icon.at(colour + 1)), static_cast<unsigned char>(icon.at(colour))));
    }
    // Rows are stored bottom row first.
    for (int y = 0; y < height; ++y) {
        const int storedRow = height - 1 - y;
        for (int x = 0; x < width; ++x) {
            bitmap.indices.append(bitsAt(icon, colourAt + storedRow * rowBytes(width, bitCount), x, bitCount));
            bitmap.transparent.append(bitsAt(icon, maskAt + storedRow * rowBytes(width, 1), x, 1) == 1);
        }
    }
    return bitmap;
}

void tst_icon::addImageRows()
{
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("bitCount");

    QTest::newRow("32x32, 2 colours") << 0 << 32 << 2 << 1;
    QTest::newRow("32x32, 16 colours") << 1 << 32 << 16 << 4;
    QTest::newRow("16x16, 16 colours") << 2 << 16 << 16 << 4;
}

void tst_icon::windowsIconHoldsExactlyThreeImages()
{
    const QByteArray icon = readIcon();
    QVERIFY2(icon.size() >= DirectorySize, "vellumry.ico is missing or shorter than its header");
    QCOMPARE(word(icon, 0), quint16(0));
    QCOMPARE(word(icon, 2), quint16(1)); // 1: icon, 2: cursor
    QCOMPARE(word(icon, 4), quint16(3));
    QCOMPARE(entries(icon).size(), 3);
}

void tst_icon::windowsIconImageHasItsSizeAndColourDepth_data()
{
    addImageRows();
}

void tst_icon::windowsIconImageHasItsSizeAndColourDepth()
{
    QFETCH(int, image);
    QFETCH(int, size);
    QFETCH(int, colours);
    QFETCH(int, bitCount);

    const QByteArray icon = readIcon();
    const QList<Entry> all = entries(icon);
    QCOMPARE_GT(all.size(), image);
    const Entry& entry = all.at(image);
    QCOMPARE(entry.width, size);
    QCOMPARE(entry.height, size);
    QCOMPARE(entry.colourCount, colours);
    QCOMPARE(entry.planes, 1);
    QCOMPARE(entry.bitCount, bitCount);

    // The bitmap itself must say the same as its directory entry, and hold exactly as many
    // palette colours as the entry promises.
    const Bitmap bitmap = unpack(icon, entry);
    QCOMPARE(bitmap.width, size);
    QCOMPARE(bitmap.height, size);
    QCOMPARE(bitmap.bitCount, bitCount);
    QCOMPARE(bitmap.palette.size(), colours);
}

void tst_icon::windowsIconImageShowsADrawingOnATransparentGround_data()
{
    addImageRows();
}

// Guards against an image that is all ground or all drawing, or a drawing in one colour: a
// palette or mask written wrongly shows as an empty or solid square on the desktop.
void tst_icon::windowsIconImageShowsADrawingOnATransparentGround()
{
    QFETCH(int, image);

    const QByteArray icon = readIcon();
    const QList<Entry> all = entries(icon);
    QCOMPARE_GT(all.size(), image);
    const Bitmap bitmap = unpack(icon, all.at(image));
    QVERIFY(!bitmap.indices.isEmpty());

    QSet<QRgb> drawnColours;
    qsizetype transparentPixels = 0;
    for (qsizetype i = 0; i < bitmap.indices.size(); ++i) {
        if (bitmap.transparent.at(i)) {
            ++transparentPixels;
            // A transparent pixel must be black, or it would tint the screen behind it.
            QCOMPARE(bitmap.palette.at(bitmap.indices.at(i)), qRgb(0, 0, 0));
        } else {
            drawnColours.insert(bitmap.palette.at(bitmap.indices.at(i)));
        }
    }
    QCOMPARE_GT(transparentPixels, 0);
    QCOMPARE_LT(transparentPixels, bitmap.indices.size());
    QCOMPARE_GE(drawnColours.size(), bitmap.bitCount == 1 ? 2 : 4);
}

void tst_icon::qtReadsEveryWindowsIconImageAsTheThemeShowsIt_data()
{
    addImageRows();
}

// The 16-colour images are the theme's 16 and 32 pixel images in a palette: one design.
void tst_icon::qtReadsEveryWindowsIconImageAsTheThemeShowsIt()
{
    QFETCH(int, image);
    QFETCH(int, size);
    QFETCH(int, bitCount);

    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("this Qt has no reader for Windows icons");
    QImageReader reader(iconFile(QStringLiteral("vellumry.ico")), "ico");
    QCOMPARE(reader.imageCount(), 3);
    QVERIFY(reader.jumpToImage(image));
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(decoded.size(), QSize(size, size));
    if (bitCount == 1)
        return;

    const QString themeFile = QStringLiteral("hicolor/%1x%1/apps/vellumry.png").arg(size);
    const QImage theme = QImage(iconFile(themeFile)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(theme.size(), QSize(size, size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb want = theme.pixel(x, y);
            const QRgb got = decoded.pixel(x, y);
            QCOMPARE(qAlpha(got) >= 128, qAlpha(want) >= 128);
            if (qAlpha(want) >= 128)
                QCOMPARE(got & RGB_MASK, want & RGB_MASK);
        }
    }
}

void tst_icon::themeImageHasTheSizeItsFolderNames_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%dx%d", size, size) << size;
}

void tst_icon::themeImageHasTheSizeItsFolderNames()
{
    QFETCH(int, size);

    const QString file = QStringLiteral("hicolor/%1x%1/apps/vellumry.png").arg(size);
    const QImage image(iconFile(file));
    QVERIFY2(!image.isNull(), qPrintable(file + QStringLiteral(" is missing or unreadable")));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    // The corners lie outside the drawing and must stay see-through on any panel colour.
    QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
}

QTEST_GUILESS_MAIN(tst_icon)
#include "tst_icon.moc"
