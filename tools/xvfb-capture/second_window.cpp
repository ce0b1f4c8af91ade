// A Qt program with none of QUELF's code: a window, and half a second later a
// second top-level window over it (modal or not, with or without a parent).
// Under Xvfb without a window manager, a capture of the whole screen
// (`xwd -root`) shows the second window as a black rectangle, while a capture
// of that window by its id shows it painted. The end-to-end test therefore
// captures dialogs by window id. run.sh shows both captures side by side.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool modal = argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("modal");
    QWidget first;
    first.setWindowTitle(QStringLiteral("first"));
    first.setGeometry(100, 100, 600, 400);
    (new QLabel(QStringLiteral("FIRST WINDOW"), &first))->move(20, 20);
    first.show();
    QDialog second(modal ? &first : nullptr);
    second.setWindowTitle(QStringLiteral("second"));
    second.setGeometry(250, 250, 300, 120);
    (new QLabel(QStringLiteral("SECOND WINDOW WITH TEXT"), &second))->move(20, 40);
    QTimer::singleShot(500, &first, [&] {
        if (modal)
            second.exec();
        else
            second.show();
    });
    return app.exec();
}
