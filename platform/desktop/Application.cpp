#include "platform/desktop/Application.h"

#include "vellumry/Version.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace platform {

namespace {

constexpr int FontPixelSize = 12;

// The first of these that is installed becomes the font of every control. Each covers both
// Chinese and Latin, so that a line's height does not depend on its script.
QString chooseFontFamily()
{
    const QStringList preferred {
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Microsoft YaHei"),
        QStringLiteral("PingFang SC"),
    };
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : preferred) {
        if (installed.contains(family))
            return family;
    }
    return QFont().family();
}

// The program's icon, compiled into the executable from the images the icon theme gets, so
// that the window carries it wherever the program runs, installed or not. Hosts without the
// images (the test runners) keep the platform's default icon. The images are read as PNG by
// name: a reader left to recognise them loads every image-format plugin of the system first
// to ask each whether it reads them, several milliseconds of start-up. Sizes up to 64 pixels
// serve the title bar, the task bar and the window switcher; the larger images stay with the
// icon theme and the packages, because on X11 every size given here is decoded and sent to
// the window manager as the window opens, and 128 and 256 pixels cost start-up ten
// milliseconds more.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        const QString file = QStringLiteral(":/icons/vellumry-%1.png").arg(size);
        if (!QFile::exists(file))
            continue;
        QImageReader reader(file, "png");
        reader.setAutoDetectImageFormat(false);
        if (const QImage image = reader.read(); !image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

Application::Application(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv))
{
    QApplication::setApplicationName(QStringLiteral("Vellumry"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMRY_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vellumry"));
    if (const QIcon icon = programIcon(); !icon.isNull())
        QApplication::setWindowIcon(icon);
    ApplyDefaults();
}

Application::~Application() = default;

int Application::Run()
{
    return QApplication::exec();
}

void Application::ApplyDefaults()
{
    QFont font(chooseFontFamily());
    font.setPixelSize(FontPixelSize);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

} // namespace platform
