#pragma once
// A colouriser's items as the tests compare them: "text@colour" per item, the colour in hex.

#include <cstdio>
#include <string>
#include <vector>

#include "editor/model/QzSyntax.h"

inline std::vector<std::string> Dump(const std::vector<TQzSyntaxItem>& items)
{
    std::vector<std::string> out;
    for (const TQzSyntaxItem& i : items) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "@%X", static_cast<unsigned>(i.Color));
        out.push_back(i.Text + buf);
    }
    return out;
}
