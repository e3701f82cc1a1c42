// A window with the editor control holding Korean SAMI text with colouring, line numbers and the
// default key bindings, for looking at the control by hand. It types a few keys through Qt
// events, then saves a grab of the window to the path given as the first argument (when given)
// and stays open until closed (or quits after the grab with --quit).

#include "editor/model/QzPadShortCut.h"
#include "editor/model/QzSmiSyntax.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TQzPadShortCut keys;
    keys.ResetToDefaultShortCut();
    TQzSmiSyntax smi;
    TQzPad pad;
    pad.setWindowTitle("TQzPad");
    pad.SetShortCut(&keys);
    pad.SetSyntax(&smi);
    pad.SetOptions(pad.Options().With(qzoHighlightSyntax).With(qzoShowLineNo));
    pad.SetText(Cp949("<SAMI>\n<BODY>\n<SYNC Start=1000><P Class=KRCC>\n안녕하세요, 자막입니다.\n"
                      "<SYNC Start=4500><P Class=KRCC>\n<font color=\"#ffff00\">두 번째</font> 줄\t탭\n"
                      "<SYNC Start=9000><P Class=KRCC>&nbsp;\n</BODY>\n</SAMI>"));
    pad.resize(640, 300);
    pad.show();
    pad.activateWindow();
    pad.setFocus();

    QTimer::singleShot(300, [&]() {
        auto key = [&](int k, Qt::KeyboardModifiers m, const QString& t) {
            QKeyEvent press(QEvent::KeyPress, k, m, t);
            QApplication::sendEvent(&pad, &press);
        };
        key(Qt::Key_Down, Qt::NoModifier, QString());
        key(Qt::Key_Down, Qt::NoModifier, QString());
        key(Qt::Key_Down, Qt::NoModifier, QString());
        key(Qt::Key_End, Qt::NoModifier, QString());
        for (QChar c : QString::fromUtf8(" 반가워요!")) key(c == '!' ? Qt::Key_Exclam : Qt::Key_unknown,
                                                           c == '!' ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
        key(Qt::Key_Home, Qt::ShiftModifier, QString());
    });
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        const bool quit = argc > 2 && QByteArray(argv[2]) == "--quit";
        QTimer::singleShot(900, [&, path, quit]() {
            pad.grab().save(path);
            if (quit) app.quit();
        });
    }
    return app.exec();
}
