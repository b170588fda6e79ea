// The peer of the start-up benchmark: a bare Qt Widgets window of the settings window's size,
// with the same style, that reports its first paint and ends, as TavrelSettings does when
// TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT=1.

#include <cstdio>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWidget>

namespace {

class Window final : public QWidget {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            std::printf("first window painted\n");
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return QWidget::event(event);
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    Window window;
    window.setWindowTitle(QStringLiteral("Tavrel 设置"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("任务栏"), &window));
    window.resize(1040, 720);
    window.show();
    return app.exec();
}
