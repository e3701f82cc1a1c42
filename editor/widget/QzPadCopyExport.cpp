#include "editor/widget/QzPadCopyExport.h"

#include "editor/model/QzPadExport.h"
#include "editor/model/QzPadSettings.h"
#include "editor/widget/QzPad.h"
#include "platform/core/StringList.h"
#include "platform/gui/Services.h"

#include <algorithm>

namespace {

// The selected whole lines through `exporter`, joined with CR LF after every string; false
// without a selection.
template <typename Exporter>
bool ExportSelection(const TQzPad& pad, Exporter exporter, std::string& text)
{
    const TQzPadModel& m = pad.Model();
    if (!m.GetSelectAvail())
        return false;
    const int a = m.GetSelStart().Y;
    const int b = m.GetSelEnd().Y;
    TStringList strings;
    exporter(m, strings, std::min(a, b), std::max(a, b));
    text = strings.Text();
    return true;
}

}  // namespace

void CopyAsHTML(TQzPad& pad)
{
    std::string html;
    if (ExportSelection(pad, ExportToHTML, html))
        Services().SetClipboard(html);
}

void CopyAsRTF(TQzPad& pad)
{
    std::string rtf;
    if (ExportSelection(pad, ExportToRTF, rtf))
        Services().SetClipboard(Services().ClipboardText(), rtf);
}

void LoadSettingFromINI(TQzPad& pad, TQzCodeTemplates* templates, const std::string& fileName)
{
    LoadSettingFromINI(pad.Model(), templates, fileName, [&pad](const TQzFontDesc& f) { pad.SetFont(f); });
    pad.viewport()->update();
}

bool SaveSettingToINI(TQzPad& pad, const TQzCodeTemplates* templates, const std::string& fileName)
{
    return SaveSettingToINI(pad.Model(), templates, fileName);
}
