#include "platform/gui/Dialogs.h"

TOpenDialog::TOpenDialog(TComponent* owner, bool save) : TComponent(owner), save_(save) {}

bool TOpenDialog::Execute()
{
    TFileDialogRequest req;
    req.Save = save_;
    req.Title = Title;
    req.Filter = Filter;
    req.FilterIndex = FilterIndex;
    req.InitialDir = InitialDir;
    req.FileName = FileName;
    req.DefaultExt = DefaultExt;
    req.OverwritePrompt = (Options & ofOverwritePrompt) != 0;
    req.FileMustExist = (Options & ofFileMustExist) != 0;
    req.AllowMultiSelect = (Options & ofAllowMultiSelect) != 0;
    if (!Services().FileDialog(ParentWindow, req))
        return false;
    FileName = req.FileName;
    Files = req.Files;
    FilterIndex = req.FilterIndex;
    return true;
}
