// The caption editor's entry point: the application object and its title, the main window, then
// the movie window, and the event loop until the main window closes; then the updater of an
// update the user agreed to. No argument is read.

#include <malloc.h>

#include <QApplication>
#include <QFont>

#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/MovieForm.h"
#include "app/update/AutoUpdate.h"
#include "app/update/ProgramStart.h"
#include "controls/TransBtn.h"
#include "platform/gui/Services.h"
#include "platform/gui/QtTranslations.h"

int main(int argc, char** argv) {
    // Large buffers (a caption file's text, the tables of a large document) get their own pages,
    // which go back to the system when freed; otherwise the C library raises this limit after the
    // first large buffer freed and keeps the later ones' memory after use.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    QApplication::setFont(QFont(QStringLiteral("NanumGothic"), 9));
    // Qt's own dialogs and questions speak Korean too; without the translations they stay in
    // English.
    LoadQtKoreanTranslations();
    // The main window decides when the program ends: the movie window may still be open.
    QApplication::setQuitOnLastWindowClosed(false);

    int code = 0;
    {
        TMainForm mainForm;
        TMovieForm movieForm(&mainForm, mainForm.Controller(), [] { return IsClosing != 0; });
        mainForm.SetMovieForm(&movieForm);
        mainForm.OnClosed = TMainForm::EndProgram;
        mainForm.HandleSignals();

        mainForm.show();
        movieForm.SetShown(true);
        mainForm.PreviewButton->SetDown(true);
        code = app.exec();
        mainForm.SetMovieForm(nullptr);
        MovieForm = nullptr;
    }
    // The settings are written and the windows and the player are gone: an update agreed to
    // starts its updater now, which waits only a moment for this program to end.
    if (!ProgramAtEnd().Start()) ShowMessage(MsgUpdaterNotStarted());
    return code;
}
