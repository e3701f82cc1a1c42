#pragma once
// The editor control's export to the clipboard and its settings file, over the Qt-free builders
// of editor/model (QzPadExport.h, QzPadSettings.h).

#include <string>

class TQzPad;
class TQzCodeTemplates;

// With a selection: the whole lines from the selection start's line to its end's line, exported
// as HTML and put on the clipboard as plain text (replacing what it held). Without one: nothing.
void CopyAsHTML(TQzPad& pad);
// With a selection: the same lines as RTF, offered as "Rich Text Format" beside the clipboard's
// current text (the text stays). Without one: nothing.
void CopyAsRTF(TQzPad& pad);

// The settings file for a control: the font goes through the control, so that it is measured
// again. `templates` may be null.
void LoadSettingFromINI(TQzPad& pad, TQzCodeTemplates* templates, const std::string& fileName);
bool SaveSettingToINI(TQzPad& pad, const TQzCodeTemplates* templates, const std::string& fileName);
