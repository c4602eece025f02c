// The floor for start-up: a plain Qt Widgets program that opens a window of Vellumry's size
// holding the same kinds of widgets (a line edit, a combo box, two list widgets, a label with
// the Chinese caption, a scroll bar and a few multi-line text boxes) and does nothing else.
// Reports its first paint like bench_startup_app.
#include "bench/BenchSupport.h"
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

class FloorWindow : public QWidget {
public:
    FloorWindow()
    {
        resize(801, 506);
        auto* label = new QLabel(QStringLiteral("请设置文档的路径"), this);
        label->move(0, 8);
        (new QLineEdit(this))->setGeometry(0, 24, 208, 18);
        (new QComboBox(this))->setGeometry(0, 48, 208, 20);
        (new QListWidget(this))->setGeometry(0, 72, 208, 192);
        (new QListWidget(this))->setGeometry(0, 272, 208, 234);
        (new QScrollBar(Qt::Vertical, this))->setGeometry(784, 2, 17, 502);
        for (int i = 0; i < 7; ++i)
            (new QPlainTextEdit(this))->setGeometry(218, 2 + 81 * i, 564, 81);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        if (m_painted)
            return;
        m_painted = true;
        std::printf("painted %lld %ld\n", bench::monotonicNanoseconds(), bench::residentKiB());
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    FloorWindow window;
    window.show();
    return QApplication::exec();
}
