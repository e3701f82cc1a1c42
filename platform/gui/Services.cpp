#include "platform/gui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "platform/gui/Controls.h"
#include "platform/gui/QtText.h"

namespace {

std::shared_ptr<TPlatformServices>& Installed()
{
    static std::shared_ptr<TPlatformServices> services;
    return services;
}


// "Desc|*.a;*.b|All|*.*" -> Qt's "Desc (*.a *.b)" entries.
std::vector<QString> QtFilters(const std::string& filter)
{
    std::vector<QString> out;
    const QStringList parts = Cp949ToQString(filter).split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out.push_back(parts[i] + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')'));
    }
    return out;
}

// Splits a command line at blanks; double quotes group blanks into one argument.
QStringList SplitParams(const QString& params)
{
    QStringList out;
    QString cur;
    bool quoted = false, any = false;
    for (QChar c : params) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any || !cur.isEmpty())
                out << cur;
            cur.clear();
            any = false;
        } else {
            cur += c;
        }
    }
    if (any || !cur.isEmpty())
        out << cur;
    return out;
}

struct MsgButton {
    QMessageBox::StandardButton Button;
    int Id;
};

// The captions the platform gives its message box buttons in a Korean session.
QString ButtonText(int id)
{
    switch (id) {
    case IDOK: return QString::fromUtf8("확인");
    case IDCANCEL: return QString::fromUtf8("취소");
    case IDABORT: return QString::fromUtf8("중단");
    case IDRETRY: return QString::fromUtf8("다시 시도");
    case IDIGNORE: return QString::fromUtf8("무시");
    case IDYES: return QString::fromUtf8("예");
    default: return QString::fromUtf8("아니요");
    }
}

std::vector<MsgButton> ButtonsFor(unsigned kind)
{
    switch (kind) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

int FirstButtonAnswer(unsigned flags)
{
    switch (flags & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

}  // namespace

int TQtServices::MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                            unsigned flags)
{
    QMessageBox box(parent);
    // A window of the program that stays on top (the find dialog, a topmost movie or main
    // window) would cover a box given another window; the box then stays on top as well.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
            break;
        }
    box.setWindowTitle(Cp949ToQString(caption));
    box.setText(Cp949ToQString(text));
    switch (flags & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    const std::vector<MsgButton> buttons = ButtonsFor(flags & 0xF);
    QMessageBox::StandardButtons set;
    for (const MsgButton& b : buttons)
        set |= b.Button;
    box.setStandardButtons(set);
    for (const MsgButton& b : buttons)
        if (QAbstractButton* button = box.button(b.Button))
            button->setText(ButtonText(b.Id));
    const size_t def = (flags & 0x300) >> 8;
    if (def < buttons.size())
        box.setDefaultButton(buttons[def].Button);
    const int r = box.exec();
    for (const MsgButton& b : buttons)
        if (r == b.Button)
            return b.Id;
    // Closed without a button: cancel where there is one, else the last button.
    for (const MsgButton& b : buttons)
        if (b.Id == IDCANCEL)
            return IDCANCEL;
    return buttons.back().Id;
}

bool TQtServices::FileDialog(QWidget* parent, TFileDialogRequest& req)
{
    QFileDialog dlg(parent, Cp949ToQString(req.Title), PathToQString(req.InitialDir));
    dlg.setAcceptMode(req.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(req.Save ? QFileDialog::AnyFile
                             : req.AllowMultiSelect ? QFileDialog::ExistingFiles
                             : req.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !req.OverwritePrompt);
    const std::vector<QString> filters = QtFilters(req.Filter);
    QStringList list;
    for (const QString& f : filters)
        list << f;
    if (!list.isEmpty()) {
        dlg.setNameFilters(list);
        const int idx = req.FilterIndex >= 1 && req.FilterIndex <= list.size() ? req.FilterIndex - 1 : 0;
        dlg.selectNameFilter(list[idx]);
    }
    if (!req.DefaultExt.empty())
        dlg.setDefaultSuffix(PathToQString(req.DefaultExt));
    if (!req.FileName.empty())
        dlg.selectFile(PathToQString(req.FileName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    req.Files.clear();
    for (const QString& f : dlg.selectedFiles())
        req.Files.push_back(QStringToPath(f));
    req.FileName = req.Files.front();
    const int chosen = list.indexOf(dlg.selectedNameFilter());
    if (chosen >= 0)
        req.FilterIndex = chosen + 1;
    return true;
}

bool TQtServices::PrintDialog(QWidget* parent, TPrintRangeRequest& req)
{
    QPrinter temporary;
    QPrinter& printer = req.Printer ? *req.Printer : temporary;
    QPrintDialog dlg(&printer, parent);
    dlg.setMinMax(req.MinPage, req.MaxPage);
    dlg.setFromTo(req.FromPage, req.ToPage);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, req.AllowPageRange);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    req.Selection = dlg.printRange() == QAbstractPrintDialog::Selection;
    req.AllPages = dlg.printRange() == QAbstractPrintDialog::AllPages;
    if (!req.AllPages) {
        req.FromPage = dlg.fromPage();
        req.ToPage = dlg.toPage();
    }
    req.Copies = printer.copyCount();
    return true;
}

std::string TQtServices::ClipboardText()
{
    if (!QGuiApplication::instance())
        return std::string();
    return QStringToCp949(QGuiApplication::clipboard()->text());
}

bool TQtServices::ClipboardHasText()
{
    if (!QGuiApplication::instance())
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void TQtServices::SetClipboard(const std::string& text, const std::string& rtf)
{
    if (!QGuiApplication::instance())
        return;
    auto* data = new QMimeData;
    data->setText(Cp949ToQString(text));
    if (!rtf.empty())
        data->setData(QStringLiteral("text/rtf"), QByteArray::fromStdString(rtf));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool TQtServices::ShellOpen(const std::string& target, const std::string& params, const std::string& dir)
{
    const QString t = PathToQString(target);
    const QFileInfo info(t);
    if (!params.empty() || (info.isFile() && info.isExecutable()))
        return QProcess::startDetached(t, SplitParams(PathToQString(params)), PathToQString(dir));
    if (t.contains(QStringLiteral("://")) || t.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return QDesktopServices::openUrl(QUrl(t));
    // The desktop's opener starts for any path and reports nothing: a missing file fails here.
    if (!info.exists())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

int TRecordingServices::MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                                   unsigned flags)
{
    Messages.push_back({text, caption, flags, parent});
    if (WhileShown) {
        const std::function<void()> run = std::move(WhileShown);
        WhileShown = nullptr;
        run();
    }
    if (MessageAnswers.empty())
        return FirstButtonAnswer(flags);
    const int a = MessageAnswers.front();
    MessageAnswers.pop_front();
    return a;
}

bool TRecordingServices::FileDialog(QWidget* parent, TFileDialogRequest& req)
{
    FileDialogs.push_back({req, parent});
    if (FileAnswers.empty())
        return false;
    const std::string answer = FileAnswers.front();
    FileAnswers.pop_front();
    if (answer.empty())
        return false;
    req.FileName = answer;
    req.Files = {answer};
    return true;
}

bool TRecordingServices::PrintDialog(QWidget*, TPrintRangeRequest&)
{
    if (PrintAnswers.empty())
        return false;
    const bool a = PrintAnswers.front();
    PrintAnswers.pop_front();
    return a;
}

void TRecordingServices::SetClipboard(const std::string& text, const std::string& rtf)
{
    Clipboard = text;
    ClipboardRtf = rtf;
}

bool TRecordingServices::ShellOpen(const std::string& target, const std::string& params, const std::string& dir)
{
    ShellOpens.push_back({target, params, dir});
    return ShellOpenResult;
}

TPlatformServices& Services()
{
    static TQtServices qt;
    if (Installed())
        return *Installed();
    return qt;
}

std::shared_ptr<TPlatformServices> InstallServices(std::shared_ptr<TPlatformServices> services)
{
    std::shared_ptr<TPlatformServices> previous = Installed();
    Installed() = std::move(services);
    return previous;
}

QWidget* MessageParent()
{
    // A box given the main window while a dialog is active would open behind that dialog (the
    // find dialog stays on top) and take the keyboard from it unseen.
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
        return modal;
    return Application()->MainForm;
}

void ShowMessage(const std::string& text)
{
    Services().MessageBox(MessageParent(), text, Application()->Title, MB_OK);
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return Services().MessageBox(MessageParent(), text, caption, flags);
}

void HandleException(const char* what)
{
    try {
        Services().MessageBox(MessageParent(), what ? what : "", Application()->Title, MB_OK | MB_ICONHAND);
    } catch (...) {
    }
}
