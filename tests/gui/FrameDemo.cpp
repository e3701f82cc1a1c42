// A small window built like the movie window: a borderless form with an outer frame, an 18-pixel
// title bar and a body holding a caption label. Run under a display (or xvfb-run); with a file
// argument it saves the window's picture there after the window has been painted and exits.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "controls/QzCaptionLabel.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"
#include "platform/gui/Controls.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TForm form;
    form.SetBorderStyle(bsFormNone);
    form.SetBounds(40, 40, 420, 200);
    form.SetCaption("Frame demo");
    Application()->MainForm = &form;

    auto* outer = new TTarkiForm(&form, &form);
    outer->SetAlign(alClient);
    outer->SetBevelOuter(bvNone);
    outer->SetBevelWidth(2);
    outer->SetBorderWidth(2);
    outer->SetColor(RGB(64, 64, 64));
    outer->SetLineTop(RGB(200, 200, 200));
    outer->SetLineLeft(RGB(200, 200, 200));
    outer->SetLineRight(RGB(20, 20, 20));
    outer->SetLineBottom(RGB(20, 20, 20));
    outer->SetCaptionMove(true);
    outer->SetFormResize(true);

    auto* title = new TTarkiForm(outer, &form);
    title->SetHeight(18);
    title->SetAlign(alTop);
    title->SetBevelOuter(bvNone);
    title->SetColor(RGB(40, 60, 120));
    title->Font()->SetColor(clWhite);
    title->Font()->SetHeight(-12);
    title->SetAlignment(taLeftJustify);
    title->SetCaption(Cp949("  동영상 미리보기"));
    title->SetCaptionMove(true);
    title->SetFormMaximize(true);

    auto* label = new TQzCaptionLabel(outer, &form);
    label->SetAlign(alClient);
    label->SetColor(clBlack);
    label->Font()->SetHeight(-12);
    label->Font()->SetColor(clWhite);
    label->Font()->SetName(Cp949("굴림"));
    label->SetWordWrap(true);
    label->SetTextAlign(qztalCenter);
    label->SetSpaceTop(5);
    label->SetSpaceLine(2);
    label->SetSpaceLeft(5);
    label->SetCaption(Cp949("<font color=red>빨간 자막</font> 그리고 흰 글자<br><b>굵게</b> <u>밑줄</u> "
                            "<font color=#00ff00>초록</font> 긴 줄은 폭에 맞추어 여러 줄로 나뉩니다 "
                            "when it does not fit the width of the label"));

    form.Show();
    if (argc > 1) {
        const QString out = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(800, [&form, &app, out]() {
            const bool ok = form.grab().save(out);
            std::fprintf(stderr, ok ? "saved\n" : "could not save\n");
            app.quit();
        });
    }
    return app.exec();
}
