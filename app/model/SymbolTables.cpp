#include "app/model/SymbolTables.h"

#include <algorithm>
#include <array>

#include "platform/core/Cp949.h"

namespace {

struct TSpecTabText {
    const char* Caption;
    const char* Chars;
};

// Captions and characters in grid order, in UTF-8; converted to code page 949 once.
const TSpecTabText kTabsUtf8[kSpecTabCount] = {
    {"①약물",
     "·‥…∼‘’“”「」『』×÷≠∞°℃￠￡￥♂♀※○◎△▲▽▼℉㎖ℓ㎘㏄㎤㎥㎦㎜㎝㎞㎠㎡㎢㏊㎍㎎㎏㎈㏈㎽㎾㎐㎑㎒①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮½⅓⅔¼¾⅛"},
    {"②도형/괘선",
     "☆★♡♥◇◆♧♣♤♠○●▷▶◁◀△▲▽▼☏☎⊙◎◈▣◐◑□■▒▤▥▣▨▧▦▩※∼∴♨☜☞日月火水木金土年￣＿─│┌┐└┘├┤┴┬┼┍┑┕┙┝┥┷┯┿┎┒┖┚┠┨┸┰╂━┃┏┓┗┛┣┫┻┳╋┞┟┡┢┦┧┩┪┭┮┱┲┵┶┹┺┽┾╀╁╃╄╅╆╇╈╉╊"},
    {"③기호",
     "αßΓπΣσμτΦθΩδ∞ø∧∨∈∋⊆⊇⊂⊃∪∩≡±≥≤∫∬÷←√ⁿ²※∼∴♂♀♪♬¤↕！¶§↘↑↓→←∠↔「」½¼´′″、。°·‥…¨〃―∥＼∼‘’“”〔〕〈〉《》「」『』【】―＋±×÷≠℃Å￠￡￥♂♀⊥⌒∂∇≡≒§→←↑↓↔〓≪≫√∽∝∵￢⇒⇔∀∃～ˇ˘˝˚˙¡¿ː∮∑∏¤℉‰¶†‡↕↗↙↖↘♭♩♪♬㉿㈜№㏇™㏂㏘℡"},
    {"④영문",
     "！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［］＾｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝㎕㎖㎗ℓ㎘㏄㎣㎤㎥㎦㎙㎚㎛㎜㎝㎞㎟㎠㎡㎢㏊㎍㎎㎏㏏㎈㎉㏈㎧㎨㎰㎱㎲㎳㎴㎵㎶㎷㎸㎹㎀㎁㎂㎃㎄㎺㎻㎼㎽㎾㎿㎐㎑㎒㎓㎔Ω㏀㏁㎊㎋㎌㏖㏅㎭㎮㎯㏛㎩㎪㎫㎬㏝㏐㏓㏃㏉㏜㏆ÆÐªĦĲĿŁØŒºÞŦŊ½⅓⅔¼¾⅛⅜⅝⅞æđðħıĳĸŀłøœßþŧŋŉ¹²³⁴ⁿ₁₂₃₄"},
    {"⑤한글/로마",
     "ㄱㄲㄳㄴㄵㄶㄷㄸㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅃㅄㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎㅏㅐㅑㅒㅓㅔㅕㅖㅗㅘㅙㅚㅛㅜㅝㅞㅟㅠㅡㅢㅣㅥㅦㅧㅨㅩㅪㅫㅬㅭㅮㅯㅰㅱㅲㅳㅴㅵㅶㅷㅸㅹㅺㅻㅼㅽㅾㅿㆀㆁㆂㆃㆄㆅㆆㆇㆈㆉㆊㆋㆌㆍㆎⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩαβγδεζηθικλμνξοπρστυφχψω"},
    {"⑥원문자",
     "㉠㉡㉢㉣㉤㉥㉦㉧㉨㉩㉪㉫㉬㉭㉮㉯㉰㉱㉲㉳㉴㉵㉶㉷㉸㉹㉺㉻ⓐⓑⓒⓓⓔⓕⓖⓗⓘⓙⓚⓛⓜⓝⓞⓟⓠⓡⓢⓣⓤⓥⓦⓧⓨⓩ①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮㈀㈁㈂㈃㈄㈅㈆㈇㈈㈉㈊㈋㈌㈍㈎㈏㈐㈑㈒㈓㈔㈕㈖㈗㈘㈙㈚㈛⒜⒝⒞⒟⒠⒡⒢⒣⒤⒥⒦⒧⒨⒩⒪⒫⒬⒭⒮⒯⒰⒱⒲⒳⒴⒵⑴⑵⑶⑷⑸⑹⑺⑻⑼⑽⑾⑿⒀⒁⒂"},
    {"⑦외국어",
     "ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをんァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶ¸˛АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"},
};

struct TSpecTab {
    std::string Caption;
    std::string Chars;
};

const std::array<TSpecTab, kSpecTabCount>& Tabs()
{
    static const std::array<TSpecTab, kSpecTabCount> tabs = [] {
        std::array<TSpecTab, kSpecTabCount> t;
        for (int i = 0; i < kSpecTabCount; ++i)
            t[static_cast<size_t>(i)] = TSpecTab{Cp949(kTabsUtf8[i].Caption), Cp949(kTabsUtf8[i].Chars)};
        return t;
    }();
    return tabs;
}

const std::string& Empty()
{
    static const std::string empty;
    return empty;
}

bool ValidTab(int tab) { return tab >= 0 && tab < kSpecTabCount; }

}  // namespace

const std::string& SpecTabCaption(int tab)
{
    return ValidTab(tab) ? Tabs()[static_cast<size_t>(tab)].Caption : Empty();
}

const std::string& SpecTabChars(int tab)
{
    return ValidTab(tab) ? Tabs()[static_cast<size_t>(tab)].Chars : Empty();
}

int SpecCharCount(int tab) { return static_cast<int>(SpecTabChars(tab).size() / 2); }

int SpecRowCount(int tab) { return std::max(1, (SpecCharCount(tab) + kSpecColCount - 1) / kSpecColCount); }

std::string SpecCellText(int tab, int row, int col)
{
    if (row < 0 || col < 0 || col >= kSpecColCount)
        return std::string();
    const int index = row * kSpecColCount + col;
    if (index >= SpecCharCount(tab))
        return std::string();
    return SpecTabChars(tab).substr(static_cast<size_t>(index) * 2, 2);
}

int SpecTabForKey(char key) { return key >= '1' && key <= '7' ? key - '1' : -1; }

int SpecStepTab(int tab, int step)
{
    const int t = (tab + step) % kSpecTabCount;
    return t < 0 ? t + kSpecTabCount : t;
}

int TSpecPlace::Row() const { return std::min(Cell / kSpecColCount, SpecRowCount(Tab) - 1); }
