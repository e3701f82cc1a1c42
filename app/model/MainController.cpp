#include "app/model/MainController.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

#include "app/model/CaptionHeader.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"

namespace {
const std::string& OverwriteQuestion() {
    static const std::string text = Cp949("같은 싱크가 존재합니다.\n덮어쓰겠습니까?");
    return text;
}
}  // namespace

TMainController::TMemoRound::TMemoRound(TMainController& c) : c_(c), outermost_(c.memoRoundDepth_++ == 0) {
    if (outermost_) applied_ = c_.ApplyPendingMemo();
}

TMainController::TMemoRound::~TMemoRound() {
    --c_.memoRoundDepth_;
    if (!outermost_ || !applied_) return;
    try {
        c_.RefillMemo();
    } catch (...) {
    }
}

TMainController::TMainController(IMainView& view) : view_(view) {
    caption_.SetCaptionHead(MainCaptionHead());
    caption_.SetCaptionBody(MainCaptionBody());
    caption_.SetCaptionTail(MainCaptionTail());
    caption_.SetAddStep(1000);
    captionTemp_.SetAddStep(10);
    BindDocumentEvents();
    rows_.AddBannerRow();
}

void TMainController::BindDocumentEvents() {
    caption_.OnEdit = [this](TQzCaption*, const std::string&, std::string& oldSync, std::string& newSync,
                             std::string& text, bool& canChange) {
        canChange = false;
        // The Edit command's row, which need not be the selection (an Add makes the new row the
        // one being edited without selecting it).
        int row = editRow_;
        if (row < 0 || row >= rows_.Count()) return;
        // Another row at the new time would leave two rows with one key, one of which the save
        // would lose: ask, and on OK the other row goes.
        int newTime = TCaptionRows::ReadSync(newSync);
        int other = rows_.FindRowBySync(newTime);
        if (other >= 0 && other != row && TCaptionRows::ReadSync(oldSync) != newTime) {
            if (view_.Ask(OverwriteQuestion(), mbOkCancel) != mrOk) return;
            rows_.Delete(other);
            if (other < row) --row;
        }
        canChange = true;
        if (rows_.AutoSort()) {
            // Until the first sort the list keeps its rows in time order, the edited one included.
            rows_.Delete(row);
            row = rows_.Append(newTime, text);
        } else {
            rows_.SetSync(row, newTime);
            rows_.SetText(row, text);
        }
        selected_ = row;
        labelCode_ = IntToStr(row);
        SetModified();
        view_.RowsChanged();
        view_.SelectionChanged(row);
    };
    caption_.OnAdd = [this](TQzCaption*, const std::string& msg, std::string& sync, std::string& text,
                            bool& canChange) {
        canChange = false;
        int existing = rows_.FindRowBySync(sync);
        if (!msg.empty() || existing >= 0) {
            if (view_.Ask(msg.empty() ? OverwriteQuestion() : msg, mbOkCancel) != mrOk) return;
        }
        canChange = true;
        int row;
        if (existing >= 0) {
            rows_.SetText(existing, text);
            row = existing;
        } else {
            row = rows_.Append(StrToInt(sync), text);
            // Sorted in front of the selected row (before the first sort): the selection stays
            // with its caption.
            if (selected_ >= row) ++selected_;
        }
        labelCode_ = IntToStr(row);
        SetModified();
        view_.RowsChanged();
        view_.SelectionChanged(selected_);
    };
    caption_.OnChange = [this](TQzCaption*, int sync, const std::string& text) {
        // A read hands its entries over one by one, the table already complete.
        if (rows_.Count() <= 1) rows_.Reserve(caption_.List().Count() + 1);
        rows_.Append(sync, text);
    };
    caption_.OnReadInfo = [this](TQzCaption*, std::string& buffer) { ReadCaptionInfo(buffer, CurrentCaption); };
    caption_.OnSaveHead = [this](TQzCaption*, std::string& buffer) {
        FillCaptionHead(buffer, CurrentCaption, FormatNow());
    };
    caption_.OnReadBegin = [this](TQzCaption*, int current, int max) { view_.SetProgress(current, max); };
    caption_.OnRead = [this](TQzCaption*, int current, int max) {
        view_.SetProgress(current, max);
        view_.ProcessMessages();
    };
    caption_.OnReadEnd = [this](TQzCaption*, int current, int) { view_.SetProgress(current, -1); };
}

// ---- Closing ----------------------------------------------------------------------------------

bool TMainController::IsModified() {
    return CurrentCaption.Modified != 0 || (advancedMode_ && view_.MemoModified());
}

bool TMainController::QuerySaveModified() {
    if (!IsModified()) return true;
    // Up until the answer and the save it may ask for are done (CloseQuery refuses meanwhile).
    struct TPromptUp {
        bool& up;
        const bool was;
        ~TPromptUp() { up = was; }
    } promptUp{savePromptUp_, std::exchange(savePromptUp_, true)};
    int answer = view_.Ask(Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?"), mbYesNoCancel);
    if (answer == mrYes) return SaveCaption(!CurrentCaption.FileName.empty());
    return answer == mrNo;
}

bool TMainController::CloseQuery() {
    if (savePromptUp_) return false;
    StopMovie();
    return QuerySaveModified();
}

// ---- The list and the entry editor -------------------------------------------------------------

void TMainController::BeginListUpdate() { view_.SetListEnabled(false); }

void TMainController::EndListUpdate() {
    if (selected_ >= rows_.Count()) selected_ = -1;
    view_.RowsChanged();
    view_.SelectionChanged(selected_);
    view_.SetListEnabled(true);
}

void TMainController::ResetEditFields() {
    labelCode_ = "0";
    view_.SetSyncField("0");
    view_.SetEntryText("");
}

void TMainController::SelectRow(int row) {
    if (row < 0 || row >= rows_.Count()) return;
    selected_ = row;
    view_.SelectionChanged(row);
    if (rows_.Sync(row) == 0) {
        ResetEditFields();
        return;
    }
    view_.SetSyncField(IntToStr(rows_.Sync(row)));
    view_.SetEntryText(ReplaceText(rows_[row].Text, "<BR>", "\n", true));
    labelCode_ = IntToStr(row);
}

void TMainController::ListMouseDown(int row) {
    if (movie_) {
        view_.SetCaptionTimer(false);
        try {
            movie_->PlayerPause();
        } catch (...) {
        }
    }
    if (row >= 0) SelectRow(row);
}

void TMainController::SyncListToCaption() { rows_.CopyToCaption(caption_); }

bool TMainController::TableInStep() const { return caption_.List().Count() == rows_.Count() - 1; }

void TMainController::RefreshTable() {
    if (!TableInStep()) SyncListToCaption();
}

void TMainController::EditCommand() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    int idx = TCaptionRows::ReadSync(labelCode_);
    if (idx <= 0 || idx >= rows_.Count()) return;
    int sync = TCaptionRows::ReadSync(view_.SyncField());
    if (sync <= 0) {
        sync = 1;
        view_.SetSyncField("1");
    }
    std::string text = TQzCaption::EncodeCaption(view_.EntryText());
    RefreshTable();
    editRow_ = idx;
    try {
        caption_.Edit(rows_.Sync(idx), sync, text);
    } catch (...) {
        editRow_ = -1;
        throw;
    }
    editRow_ = -1;
    // The document moved its entry as the edit handler moved the row.
    RefreshTable();
}

void TMainController::AddCommand() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    int sync = TCaptionRows::ReadSync(view_.SyncField());
    if (sync <= 0) {
        sync = 1;
        view_.SetSyncField("1");
    }
    labelCode_ = "0";
    std::string text = TQzCaption::EncodeCaption(view_.EntryText());
    RefreshTable();
    // The document stores the entry exactly when the add handler adds or changes the row.
    caption_.Add(sync, text);
    RefreshTable();
}

void TMainController::DeleteCommand() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    if (!(labelCode_ > std::string("0"))) return;
    int idx = TCaptionRows::ReadSync(labelCode_);
    if (idx <= 0 || idx >= rows_.Count()) return;
    if (view_.Ask(Cp949("삭제하겠습니까?"), mbOkCancel) != mrOk) return;
    ResetEditFields();
    RefreshTable();
    bool inStep = TableInStep();
    const std::string key = rows_[idx].Key.Str();
    rows_.Delete(idx);
    // With every key once in the rows, the entry of the deleted row is the one to go.
    if (inStep) caption_.List().Delete(key);
    if (idx > rows_.Count() - 1) idx = rows_.Count() - 1;
    selected_ = -1;
    view_.RowsChanged();
    if (rows_.Count() > 0) {
        SelectRow(idx);
        labelCode_ = IntToStr(idx);
    } else {
        view_.SelectionChanged(-1);
    }
    SetModified();
    RefreshTable();
}

void TMainController::SortCommand() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    SortRows();
}

void TMainController::SortRows() {
    ResetEditFields();
    const bool hadSelection = selected_ >= 0 && selected_ < rows_.Count();
    const int selectedSync = hadSelection ? rows_.Sync(selected_) : 0;
    rows_.Sort();
    selected_ = hadSelection ? rows_.FindRowBySync(selectedSync) : -1;
    view_.RowsChanged();
    view_.SelectionChanged(selected_);
}

void TMainController::ShiftLeft() { ShiftSync(-TCaptionRows::ReadSync(view_.ShiftField())); }

void TMainController::ShiftRight() { ShiftSync(TCaptionRows::ReadSync(view_.ShiftField())); }

void TMainController::ShiftSync(int delta) {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    view_.SetSyncField("0");
    view_.SetEntryText("");
    labelCode_ = "0";
    if (rows_.Count() < 2 || delta == 0) return;
    int start = 1;
    if (view_.ShiftOption() == 1 && selected_ >= 0) start = std::max(selected_, 1);
    if (start >= rows_.Count()) return;
    long long first = static_cast<long long>(rows_.Sync(start)) + delta;
    if (first < 0 || rows_.Sync(start - 1) >= first) {
        if (view_.Ask(Cp949("이전 자막보다 싱크가 작습니다.\n계속 진행하겠습니까?"), mbOkCancel) != mrOk) return;
    }
    const bool aligned = TableAlignedWithRows();
    // Times at or below 0 become 1; several of them would share one key and all but one would be
    // lost on saving, so each takes the smallest free time from 1 on instead, in row order.
    const size_t n = static_cast<size_t>(rows_.Count());
    std::vector<long long> shifted(n);
    std::vector<long long> taken;
    taken.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        long long v = static_cast<long long>(rows_.Sync(static_cast<int>(i))) + (i >= static_cast<size_t>(start) ? delta : 0);
        if (v > 2147483647LL) v = 2147483647LL;
        shifted[i] = v;
        if (i >= 1 && v > 0) taken.push_back(v);
    }
    std::sort(taken.begin(), taken.end());
    long long nextFree = 1;
    size_t takenAt = 0;  // taken[takenAt] is the first taken time >= nextFree
    std::vector<bool> raised(n, false);
    std::vector<long long> assignedByRaise;
    for (size_t i = static_cast<size_t>(start); i < n; ++i) {
        long long& v = shifted[i];
        if (v > 0) continue;
        for (;;) {
            while (takenAt < taken.size() && taken[takenAt] < nextFree) ++takenAt;
            if (takenAt < taken.size() && taken[takenAt] == nextFree) ++nextFree;
            else break;
        }
        v = nextFree++;
        raised[i] = true;
        assignedByRaise.push_back(v);
    }
    // A moved caption that lands on the time of a caption before `start` (the user went on past
    // the warning) would share its key as well: it goes 1 ms later, and the moved captions after
    // it follow as far as they must, so the order of the moved block is kept.
    std::vector<long long> unmoved(shifted.begin() + 1, shifted.begin() + start);
    std::sort(unmoved.begin(), unmoved.end());
    // Usually no moved caption meets another: each keeps its time (a raised time is free of every
    // taken time, so only equal or falling times among the rest and unmoved times can meet).
    bool meets = false;
    long long previous = LLONG_MIN;
    for (size_t i = static_cast<size_t>(start); i < n && !meets; ++i) {
        if (raised[i]) continue;
        long long v = shifted[i];
        if (v <= previous || std::binary_search(unmoved.begin(), unmoved.end(), v)) meets = true;
        previous = v;
    }
    if (meets) {
        std::set<long long> occupied(unmoved.begin(), unmoved.end());
        occupied.insert(assignedByRaise.begin(), assignedByRaise.end());
        for (size_t i = static_cast<size_t>(start); i < n; ++i) {
            if (raised[i]) continue;
            long long& v = shifted[i];
            while (v < 2147483647LL && occupied.count(v)) ++v;
            occupied.insert(v);
        }
    }
    rows_.SetSyncsFrom(start, std::vector<int>(shifted.begin() + start, shifted.end()));
    // Keys that stay in ascending row order move no row and pair with the same entries.
    const bool rekeyed = aligned && RekeyTableFromRows();
    selected_ = rows_.KeepKeyOrder(selected_);
    SetModified();
    if (!rekeyed) SyncListToCaption();
    view_.RowsChanged();
    view_.SelectionChanged(selected_);
}

bool TMainController::TableAlignedWithRows() const {
    const TTarkiHash& table = caption_.List();
    if (!TableInStep()) return false;
    for (int i = 1; i < rows_.Count(); ++i)
        if (!rows_[i].Key.Is(table.Key(i - 1))) return false;
    return true;
}

bool TMainController::RekeyTableFromRows() {
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(rows_.Count()));
    for (int i = 1; i < rows_.Count(); ++i) keys.push_back(rows_[i].Key.Str());
    return caption_.List().ReplaceKeys(keys);
}

void TMainController::StripTags() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    RefreshTable();
    // Stripping keeps every key where it stands, so rows that pair with the entries in order
    // take their texts by position.
    const bool aligned = TableAlignedWithRows();
    caption_.TagStrip();
    bool changed = false;
    for (int i = 1; i < rows_.Count(); ++i) {
        int at = aligned ? i - 1 : caption_.List().IndexOf(rows_[i].Key.Str());
        if (at < 0) continue;
        const std::string& stripped = caption_.List().Value(at);
        if (rows_[i].Text != stripped) {
            rows_.SetText(i, stripped);
            changed = true;
        }
    }
    if (changed) {
        SetModified();
        view_.RowsChanged();
        view_.SelectionChanged(selected_);
    }
}

void TMainController::ApplyCurrentSync() { view_.SetSyncField(IntToStr(GetMoviePos(-1))); }
