#include "platform/Application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

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

} // namespace

Application::Application(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv))
{
    QApplication::setApplicationName(QStringLiteral("Vellumry"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("vellumry"));
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
