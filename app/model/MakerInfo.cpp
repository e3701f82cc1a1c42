#include "app/model/MakerInfo.h"

#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"

TMakerInfo MakerInfoOf(const TCaptionInfo& info)
{
    return TMakerInfo{info.MakerName, info.MakerMail, info.MakerHome, info.Notice};
}

void ApplyMakerInfo(TCaptionInfo& info, const TMakerInfo& maker)
{
    info.MakerName = maker.Name;
    info.MakerMail = maker.Mail;
    info.MakerHome = maker.Home;
    info.Notice = maker.Notice;
}

std::string NoticeFromLines(const std::string& lfText)
{
    std::string out;
    out.reserve(lfText.size() + lfText.size() / 8);
    for (char c : lfText) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string CaptionLineCountText(int listRows)
{
    const int captions = listRows > 1 ? listRows - 1 : 0;
    return IntToStr(captions) + Cp949(" 줄");
}
