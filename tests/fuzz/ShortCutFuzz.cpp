// The editor's key-binding file on outside bytes: read, written, read and written again.
//
// Checked: the second writing gives the bytes of the first, and the bindings read back equal.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/QzPadShortCut.h"
#include "platform/core/FileUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    const std::string path = fuzz::WriteTemp("keys.txt", std::string_view(reinterpret_cast<const char*>(data), size));
    TQzPadShortCut keys;
    keys.ResetToDefaultShortCut();
    if (!keys.LoadFromFile(path)) return 0;

    const std::string first = fuzz::TempPath("keys-1.txt");
    const std::string second = fuzz::TempPath("keys-2.txt");
    keys.SaveToFile(first);
    TQzPadShortCut again;
    fuzz::Check(again.LoadFromFile(first), "the written key bindings could not be read");
    fuzz::Check(again.ShortCut().Count() == keys.ShortCut().Count(), "bindings were lost on the way back");
    for (int i = 0; i < keys.ShortCut().Count(); ++i) {
        const TQzShortCutItem& a = keys.ShortCut().Items(i);
        const TQzShortCutItem& b = again.ShortCut().Items(i);
        fuzz::Check(a.EditorCommand == b.EditorCommand, "a binding's command changed on the way back");
        fuzz::Check(a.GetShortCut() == b.GetShortCut(), "a binding's key changed on the way back");
    }
    again.SaveToFile(second);
    std::string x, y;
    fuzz::Check(ReadFileBytes(first, x) && ReadFileBytes(second, y), "a key-binding file could not be read");
    fuzz::Check(x == y, "the key bindings were written otherwise the second time");
    return 0;
}
