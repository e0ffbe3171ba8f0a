// The baseline of the start-up benchmark: a bare Qt window with a QScintilla editor and a
// terminal, optionally loading a file, that ends when it is first painted.
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>
#include <QVBoxLayout>
#include <qtermwidget.h>

#include <unistd.h>

namespace {
class Frame : public QWidget {
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        QApplication::sync();
        _exit(0);
    }
};
} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    Frame frame;
    auto *layout = new QVBoxLayout(&frame);
    auto *editor = new QsciScintilla;
    auto *terminal = new QTermWidget;
    layout->addWidget(editor, 4);
    layout->addWidget(terminal, 1);
    if (argc > 1) {
        QFile file(argv[1]);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            editor->SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
        }
    }
    frame.resize(1000, 760);
    frame.show();
    return application.exec();
}
