// The code-template file on outside bytes: read, written and read again.
//
// Checked: the templates read back with the same names, descriptions and code.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/QzCodeTemplates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string path = fuzz::WriteTemp("in.dci", std::string_view(reinterpret_cast<const char*>(data), size));
    TQzCodeTemplateList list;
    LoadCodeTemplate(path, list);
    for (int i = 0; i < list.Count(); ++i) list.Find(list.Entry(i).Name);

    const std::string out = fuzz::TempPath("out.dci");
    SaveCodeTemplate(out, list);
    TQzCodeTemplateList again;
    LoadCodeTemplate(out, again);
    fuzz::Check(again.Count() == list.Count(), "templates were lost on the way back");
    for (int i = 0; i < list.Count(); ++i) {
        const TQzCodeTemplateList::TEntry& a = list.Entry(i);
        const TQzCodeTemplateList::TEntry& b = again.Entry(i);
        fuzz::Check(a.Name == b.Name, "a template's name changed on the way back");
        fuzz::Check(!a.Item == !b.Item, "a template's record went or came on the way back");
        if (!a.Item) continue;
        fuzz::Check(a.Item->Description == b.Item->Description, "a template's description changed on the way back");
        fuzz::Check(a.Item->Code == b.Item->Code, "a template's code changed on the way back");
    }
    return 0;
}
