// Loading a text file into the editor (with the Johab check) on outside bytes, then saving it and
// loading the saved file.
//
// Checked: the saved file loads back to the same lines and the same Korean code type.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/QzPadModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string path = fuzz::WriteTemp("in.txt", std::string_view(reinterpret_cast<const char*>(data), size));
    TQzPadModel pad;
    pad.LoadFromFile(path);
    const std::string out = fuzz::TempPath("out.txt");
    pad.SaveToFile(out);

    TQzPadModel again;
    again.LoadFromFile(out);
    fuzz::Check(again.HanguelCodeType() == pad.HanguelCodeType(), "the saved file loads as another code");
    fuzz::Check(again.Lines().Count() == pad.Lines().Count(), "the saved file loads with other lines");
    for (int i = 0; i < pad.Lines().Count(); ++i)
        fuzz::Check(again.Lines().Get(i) == pad.Lines().Get(i), "a line changed on the way back");
    return 0;
}
