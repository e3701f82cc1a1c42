// The macro file on outside bytes: read, written and read again.
//
// Checked: a file that does not read throws EReadError and keeps the steps; one that reads
// writes a file that reads back to the same steps.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/QzPadMacro.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string path = fuzz::WriteTemp("in.mac", std::string_view(reinterpret_cast<const char*>(data), size));
    TQzPadMacro macro;
    macro.Macro().AddMacro(qzcInsert, TPoint(), TPoint(), TPoint(), "kept");
    try {
        macro.LoadFromFile(path);
    } catch (const EReadError&) {
        fuzz::Check(macro.Count() == 1 && macro.Macro().Items(0).Data == "kept", "a failed read changed the steps");
        return 0;
    }
    const std::string out = fuzz::TempPath("out.mac");
    macro.SaveToFile(out);
    TQzPadMacro again;
    try {
        again.LoadFromFile(out);
    } catch (const EReadError&) {
        fuzz::Check(false, "a written macro does not read back");
    }
    fuzz::Check(again.Count() == macro.Count(), "steps were lost on the way back");
    for (int i = 0; i < macro.Count(); ++i) {
        fuzz::Check(again.Macro().Items(i).Command == macro.Macro().Items(i).Command, "a step's command changed");
        fuzz::Check(again.Macro().Items(i).Data == macro.Macro().Items(i).Data, "a step's text changed");
    }
    return 0;
}
