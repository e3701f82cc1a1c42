// The main window's file roads: open (caption file or movie), new, close, reload, insert, save,
// and the advanced mode that edits the caption body as SAMI text.

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <new>

#include "app/model/CaptionFileCheck.h"
#include "app/model/MainController.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

std::string LoadTimeText(double seconds) {
    char buf[64];
    snprintf(buf, sizeof buf, "%.2f", seconds);
    return std::string(buf) + Cp949("초");
}

// A file name as it can stand in a message (paths are UTF-8, messages code page 949).
std::string MessageName(const std::string& path) { return Cp949FromUtf8(ExtractFileName(path)); }

// The refusal of a file that was read once, for its check, and then failed to read: it was taken
// away meanwhile, or there is no memory left to read it a second time (the ".s2k" reader does).
std::string SecondReadFailedMessage(const std::string& path) {
    return FileExists(path) ? TooLargeMessage(path) : MessageName(path) + Cp949(" 파일을 읽을 수 없습니다.");
}

// The one notice for captions that a read or an insert could not keep.
std::string DroppedMessage(int count) {
    return Cp949("같은 싱크에 자막이 둘 이상 있어 자막 ") + IntToStr(count) +
           Cp949("개를 버렸습니다.\n한 싱크에는 자막을 하나만 둘 수 있어 뒤에 나온 자막만 남겼습니다.\n"
                 "(0 이하의 싱크는 1로 읽습니다.)");
}

// A line of code page 949 text cut to about `limit` bytes for a message, never inside a character.
std::string ShortLine(const std::string& line, size_t limit = 60) {
    if (line.size() <= limit) return line;
    size_t i = 0;
    while (i < limit) i += static_cast<unsigned char>(line[i]) >= 0x80 ? 2 : 1;
    return line.substr(0, std::min(i, line.size())) + "...";
}

}  // namespace

std::string TMainController::CaptionFileBeside(const std::string& moviePath) {
    std::string exact = ChangeFileExt(moviePath, ".smi");
    if (FileExists(exact)) return exact;
    std::string dir = ExtractFilePath(exact);
    std::string name = ExtractFileName(exact);
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return exact;
    std::string found;
    while (dirent* e = readdir(d)) {
        if (SameText(e->d_name, name) && FileExists(dir + e->d_name)) {
            found = dir + e->d_name;
            break;
        }
    }
    closedir(d);
    return found.empty() ? exact : found;
}

void TMainController::ClearLabel() {
    view_.SetProgress(0, -1);
    if (movie_) movie_->SetCaptionLabelText("");
    view_.SetLoadTime(LoadTimeText(0));
}

void TMainController::RefillMemo() {
    if (!advancedMode_) return;
    RefreshTable();
    try {
        std::string text = caption_.GetText();
        if (!view_.MemoTextIs(text)) view_.TakeMemoText(std::move(text));
    } catch (const std::bad_alloc&) {
        // The document stands; only its text cannot be held a second time: the list shows it.
        advancedMode_ = false;
        ResetEditFields();
        view_.ShowAdvancedMode(false);
        view_.ShowMessage(Cp949("자막이 너무 커서 확장편집 모드로 보여 줄 수 없어 목록으로 돌아갑니다."));
    }
}

bool TMainController::ApplyPendingMemo() { return !advancedMode_ || !view_.MemoModified() || ApplyMemo(); }

void TMainController::OpenCommand(int filterIndex) {
    std::string chosen;
    if (!view_.OpenFileDialog(filterIndex, ExtractFilePath(CurrentCaption.FileName), CurrentCaption.FileName, chosen))
        return;
    OpenPath(chosen);
}

void TMainController::DropFiles(const std::vector<std::string>& paths) {
    if (!paths.empty()) OpenPath(paths.front());
}

void TMainController::OpenPath(const std::string& path) {
    // A caption file that is not text (UTF-16, say) is still a caption file: opened as one, it is
    // refused with a message rather than handed to the player; so is anything that is no regular
    // file (a folder, a FIFO, a device), whatever its name.
    if (TQzCaption::IsTextFile(path) || HasCaptionFileExt(path) || (PathExists(path) && !FileExists(path)))
        OpenCaptionFile(path);
    else OpenMovie(path);
}

bool TMainController::OpenCaptionFile(std::string path) {
    StopMovie();
    // A file that cannot be read is refused before anything changes: before the save prompt from
    // its head, so that a file of any size is asked about at once; after it from its whole bytes,
    // which a save at the prompt may have written (a reload).
    bool read = false;
    TCaptionFileCheck check = CheckCaptionHead(path, read);
    if (!check.Refusal.empty()) {
        view_.ShowMessage(check.Refusal);
        return true;
    }
    if (!QuerySaveModified()) return false;
    const bool readBefore = read;
    std::string bytes;
    check = CheckCaptionFile(path, bytes, read);
    // A file taken away meanwhile is refused, not opened as the missing file of a new document.
    if (check.Refusal.empty() && readBefore && !read)
        check.Refusal = MessageName(path) + Cp949(" 파일이 존재하지 않습니다.");
    if (!check.Refusal.empty()) {
        view_.ShowMessage(check.Refusal);
        return true;
    }
    ClearLabel();
    TCaptionInfo previousInfo = CurrentCaption;
    ResetCaptionInfo(CurrentCaption);
    CurrentCaption.CreateTime = FormatFileTime(path, true);
    CurrentCaption.ModifyTime = FormatFileTime(path, false);
    auto started = std::chrono::steady_clock::now();

    BeginListUpdate();
    TCaptionRows::TStore previousRows = rows_.TakeAll();
    const int previousSelected = selected_;
    const std::string previousFileName = caption_.FileName;
    rows_.AddBannerRow();
    selected_ = -1;
    // The open document, its list and its information come back as they were. The entries are
    // made again from the rows when the read replaced them.
    const auto refuse = [&](const std::string& message, bool entriesReplaced) {
        rows_.Restore(std::move(previousRows));
        selected_ = previousSelected;
        CurrentCaption = previousInfo;
        caption_.FileName = previousFileName;
        if (entriesReplaced) caption_.Clear();
        RefreshTable();
        EndListUpdate();
        view_.ShowMessage(message);
        return true;
    };
    bool ok = false;
    // The ".s2k" reader reads the file itself: the bytes read here need not be held meanwhile.
    if (LowerCase(ExtractFileExt(path)) == ".s2k") bytes = std::string();
    try {
        // The rows are made from the entries once the previous rows are gone.
        THandlersAside aside(caption_, false);
        ok = read ? caption_.Open(path, std::move(bytes)) : caption_.Open(path);
    } catch (const EConvertError& e) {
        return refuse(MessageName(path) + Cp949(" 파일을 읽을 수 없습니다.") + "\n" + e.what(), false);
    } catch (const std::bad_alloc&) {
        return refuse(TooLargeMessage(path), true);
    }
    // Read once, a file is no missing file that empties the list when a second read fails.
    if (!ok && read) return refuse(SecondReadFailedMessage(path), false);
    if (ok && caption_.List().Count() == 0 && !check.MayHoldNoCaption) return refuse(NoCaptionMessage(path), true);
    if (ok) {
        // The previous rows go only once the new ones stand.
        try {
            rows_.CopyFromCaption(caption_);
        } catch (const std::bad_alloc&) {
            return refuse(TooLargeMessage(path), true);
        }
        previousRows = {};
        CurrentCaption.FileName = path;
        view_.SetTitle(DocumentTitle(path));
    } else {
        // Nothing was read (the file is missing): the document is emptied like the list, and the
        // title no longer names a file that is not open.
        previousRows = {};
        caption_.Clear();
        view_.SetTitle(DocumentTitle(""));
    }
    if (CurrentCaption.CreateTime.empty()) CurrentCaption.CreateTime = FormatFileTime(path, true);
    if (CurrentCaption.ModifyTime.empty()) CurrentCaption.ModifyTime = FormatFileTime(path, false);
    if (!(CurrentCaption.CreateTime < CurrentCaption.ModifyTime)) CurrentCaption.CreateTime = CurrentCaption.ModifyTime;
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    view_.SetLoadTime(LoadTimeText(elapsed.count()));
    SortRows();
    EndListUpdate();
    RefillMemo();
    if (ok && caption_.DroppedOnRead() > 0) view_.ShowMessage(DroppedMessage(caption_.DroppedOnRead()));
    return true;
}

void TMainController::StopMovie() {
    if (!movie_) return;
    try {
        if (!movie_->PlayerFileName().empty()) movie_->PlayerStop();
    } catch (...) {
    }
}

void TMainController::OpenMovie(std::string path) {
    if (!movie_) return;
    StopMovie();
    // A cancelled save prompt leaves the open movie open (stopped): its name stays in the title.
    if (!OpenCaptionFile(CaptionFileBeside(path))) return;
    // Such a file is not handed to the player, which keeps the movie it holds: the title and the
    // movie name that the next save writes into the header go on naming that movie.
    std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".smi" || ext == ".txt" || ext == ".doc") return;
    movie_->SetWindowCaption("Preview");
    CurrentCaption.MovieFile.clear();
    try {
        movie_->PlayerOpen(path);
        CurrentCaption.MovieFile = path;
        movie_->SetWindowCaption(ExtractFileName(path) + " - Preview");
    } catch (...) {
    }
}

void TMainController::MovieFailed(std::string path, std::string description) {
    if (!movie_ || path.empty() || path != CurrentCaption.MovieFile) return;
    CloseMovieCommand();
    std::string text = MessageName(path) + Cp949(" 동영상을 열 수 없습니다.");
    if (!description.empty()) text += "\n" + Cp949FromUtf8(description);
    view_.ShowMessage(text);
}

void TMainController::NewCommand() {
    if (!movie_) return;
    if (!QuerySaveModified()) return;
    ClearLabel();
    ResetCaptionInfo(CurrentCaption);
    CurrentCaption.CreateTime = FormatFileTime("", true);
    CurrentCaption.ModifyTime = FormatFileTime("", false);
    rows_.Clear();
    caption_.Clear();
    rows_.AddBannerRow();
    selected_ = -1;
    view_.SetTitle(DocumentTitle(""));
    labelCode_ = "0";
    view_.SetSyncField("");
    view_.SetEntryText("");
    view_.RowsChanged();
    view_.SelectionChanged(-1);
    RefillMemo();
}

void TMainController::CloseAllCommand() {
    if (!movie_) return;
    if (!QuerySaveModified()) return;
    CloseMovieCommand();
    ClearLabel();
    ResetCaptionInfo(CurrentCaption);
    rows_.Clear();
    caption_.Clear();
    rows_.AddBannerRow();
    selected_ = -1;
    view_.SetTitle(DocumentTitle(""));
    ResetEditFields();
    view_.RowsChanged();
    view_.SelectionChanged(-1);
    RefillMemo();
}

void TMainController::CloseMovieCommand() {
    if (!movie_) return;
    StopMovie();
    try {
        movie_->PlayerClose();
    } catch (...) {
    }
    CurrentCaption.MovieFile.clear();
    movie_->SetWindowCaption("Preview");
}

void TMainController::ReloadCommand() {
    if (!CurrentCaption.FileName.empty()) OpenCaptionFile(CurrentCaption.FileName);
}

void TMainController::InsertCommand() {
    TMemoRound memo(*this);
    if (!memo.Applied()) return;
    std::string file;
    if (!view_.OpenFileDialog(1, ExtractFilePath(CurrentCaption.FileName), "", file)) return;
    std::string bytes;
    bool read = false;
    const TCaptionFileCheck check = CheckCaptionFile(file, bytes, read);
    if (!check.Refusal.empty()) {
        view_.ShowMessage(check.Refusal);
        return;
    }
    int mode = view_.AskInsertMode();
    if (mode < 0 || mode > 2) return;
    if (mode == 0 && selected_ < 0) {
        int answer = view_.Ask(Cp949("추가할 자막위치를 선택하지 않았습니다.\n"
                                     "현재 자막의 뒷부분에 자막을 추가하겠습니까?\n\n"
                                     "'예'를 선택하면 뒷부분에, '아니오'를 선택하면\n"
                                     "앞부분에 추가됩니다."),
                               mbYesNoCancel);
        if (answer == mrYes) mode = 2;
        else if (answer == mrNo) mode = 1;
        else return;
    }
    captionTemp_.Clear();
    bool ok = false;
    try {
        // The ".s2k" reader reads the file itself: the bytes read here need not be held meanwhile.
        if (LowerCase(ExtractFileExt(file)) == ".s2k") bytes = std::string();
        ok = read ? captionTemp_.Open(file, std::move(bytes)) : captionTemp_.Open(file);
    } catch (const EConvertError& e) {
        view_.ShowMessage(MessageName(file) + Cp949(" 파일을 읽을 수 없습니다.") + "\n" + e.what());
        return;
    } catch (const std::bad_alloc&) {
        captionTemp_.Clear();
        view_.ShowMessage(TooLargeMessage(file));
        return;
    }
    if (!ok && read) {
        view_.ShowMessage(SecondReadFailedMessage(file));
        return;
    }
    const TTarkiHash& source = captionTemp_.List();
    if (source.Count() == 0) {
        captionTemp_.Clear();
        if (!check.MayHoldNoCaption) view_.ShowMessage(NoCaptionMessage(file));
        return;
    }

    BeginListUpdate();
    if (rows_.Count() < 2) mode = 2;
    if (mode == 0 && selected_ <= 1) mode = 1;
    if (mode == 0 && selected_ == rows_.Count() - 1) mode = 2;

    RefreshTable();
    // Captions the document cannot keep: those of the file at one time, and those that landed on
    // a time the document already had.
    const int expected = caption_.List().Count() + source.Count();
    bool changed = true;
    if (mode == 1) {
        // The earliest caption comes to 1000 ms behind the last inserted one and the others keep
        // their spacing. Rows added since the last sort can stand before row 1 in time, so the
        // earliest time is the document's first, not row 1's: measured from row 1 they could land
        // at or below 0 or on an inserted caption's time.
        const TTarkiHash& own = caption_.List();
        long long base = static_cast<long long>(TCaptionRows::ReadSync(source.Key(source.Count() - 1))) + 1000;
        long long delta = base - TCaptionRows::ReadSync(own.Key(0));
        const bool aligned = TableAlignedWithRows();
        // Everything the insert needs is made before the rows move: a file too large to go in
        // leaves the document as it was.
        std::vector<int> moved;
        std::vector<TCaptionRow> inserted;
        std::vector<std::string> keys, values;
        try {
            moved.reserve(static_cast<size_t>(rows_.Count()));
            for (int i = 1; i < rows_.Count(); ++i)
                moved.push_back(static_cast<int>(std::min(rows_.Sync(i) + delta, 2147483647LL)));
            inserted.reserve(static_cast<size_t>(source.Count()));
            keys.reserve(static_cast<size_t>(source.Count()));
            values.reserve(static_cast<size_t>(source.Count()));
            for (int i = 0; i < source.Count(); ++i) {
                inserted.push_back(TCaptionRow{TRowKey(TCaptionRows::ReadSync(source.Key(i))), source.Value(i)});
                keys.push_back(source.Key(i));
                values.push_back(source.Value(i));
            }
        } catch (const std::bad_alloc&) {
            captionTemp_.Clear();
            EndListUpdate();
            view_.ShowMessage(TooLargeMessage(file));
            return;
        }
        rows_.SetSyncsFrom(1, moved);
        // The table follows the rows: its entries take the moved keys and the inserted entries
        // go in front of them, or it is built again when the keys do not allow that.
        bool followed = aligned && RekeyTableFromRows();
        rows_.InsertBlock(1, std::move(inserted));
        if (followed) {
            caption_.ReserveEntries(rows_.Count());
            followed = caption_.List().InsertAt(0, keys, values);
        }
        if (!followed) {
            SyncListToCaption();
            rows_.CopyFromCaption(caption_);
        }
    } else {
        // The rows follow the document afterwards, so its add and edit handlers stand aside: they
        // would only let every entry go as proposed.
        const int from = mode == 2 ? rows_.Count() : selected_ + 1;
        try {
            THandlersAside aside(caption_, true);
            if (mode == 2) changed = caption_.AppendList(captionTemp_);
            else changed = caption_.InsertList(rows_.Sync(selected_), captionTemp_);
        } catch (const std::bad_alloc&) {
            // The rows are untouched: the entries are made again from them.
            captionTemp_.Clear();
            caption_.Clear();
            SyncListToCaption();
            EndListUpdate();
            view_.ShowMessage(TooLargeMessage(file));
            return;
        } catch (...) {
            EndListUpdate();
            throw;
        }
        try {
            if (!FollowInsertedEntries(from)) rows_.CopyFromCaption(caption_);
        } catch (const std::bad_alloc&) {
            // The entries hold the whole insert: the rows are made from them, with the memory of
            // the file's own copy given back first.
            captionTemp_.Clear();
            rows_.CopyFromCaption(caption_);
        }
    }
    selected_ = -1;
    ResetEditFields();
    if (changed) SetModified();
    EndListUpdate();
    const int dropped = changed ? captionTemp_.DroppedOnRead() + expected - caption_.List().Count() : 0;
    if (dropped > 0) view_.ShowMessage(DroppedMessage(dropped));
}

TMainController::THandlersAside::THandlersAside(TQzCaption& caption, bool edits) : caption_(caption) {
    if (edits) {
        onAdd_.swap(caption.OnAdd);
        onEdit_.swap(caption.OnEdit);
    } else {
        onChange_.swap(caption.OnChange);
    }
}

TMainController::THandlersAside::~THandlersAside() {
    if (onAdd_) caption_.OnAdd.swap(onAdd_);
    if (onEdit_) caption_.OnEdit.swap(onEdit_);
    if (onChange_) caption_.OnChange.swap(onChange_);
}

bool TMainController::FollowInsertedEntries(int from) {
    const TTarkiHash& table = caption_.List();
    const int rows = rows_.Count();
    const int added = table.Count() - (rows - 1);
    if (added < 0 || from < 1 || from > rows) return false;
    for (int i = 1; i < from; ++i)
        if (!rows_[i].Key.Is(table.Key(i - 1))) return false;
    std::vector<int> moved;
    if (from < rows) {
        moved.reserve(static_cast<size_t>(rows - from));
        const long long delta = static_cast<long long>(TCaptionRows::ReadSync(table.Key(from - 1 + added))) - rows_.Sync(from);
        for (int i = from; i < rows; ++i) {
            const long long v = rows_.Sync(i) + delta;
            if (v < INT_MIN || v > INT_MAX || !TRowKey(static_cast<int>(v)).Is(table.Key(i - 1 + added))) return false;
            moved.push_back(static_cast<int>(v));
        }
    }
    std::vector<TCaptionRow> inserted;
    inserted.reserve(static_cast<size_t>(added));
    for (int j = from - 1; j < from - 1 + added; ++j) {
        TRowKey key(TCaptionRows::ReadSync(table.Key(j)));
        if (!key.Is(table.Key(j))) return false;
        inserted.push_back(TCaptionRow{key, table.Value(j)});
    }
    rows_.SetSyncsFrom(from, moved);
    rows_.InsertBlock(from, std::move(inserted));
    return true;
}

bool TMainController::SaveCaption(bool saveAs) {
    std::string name = CurrentCaption.FileName;
    bool s2k = LowerCase(ExtractFileExt(name)) == ".s2k";
    if (s2k) saveAs = true;
    if (saveAs || name.empty()) {
        std::string chosen;
        if (!view_.SaveFileDialog(ExtractFilePath(name), s2k ? ChangeFileExt(name, ".smi") : name, chosen))
            return false;
        name = chosen;
    }
    if (!ApplyPendingMemo()) return false;

    RefreshTable();
    TCaptionInfo before = CurrentCaption;
    CurrentCaption.FileName = name;
    if (!caption_.Save(name)) {
        CurrentCaption = before;
        view_.ShowMessage(MessageName(name) + Cp949(" 파일을 저장할 수 없습니다."));
        return false;
    }
    CurrentCaption.Modified = 0;
    view_.SetTitle(DocumentTitle(name));
    view_.SetMemoModified(false);
    return true;
}

bool TMainController::ApplyMemo() {
    const std::string tooLarge = Cp949("확장편집 내용이 너무 커서 적용할 수 없습니다.");
    std::string text;
    try {
        text = view_.MemoText();
    } catch (const std::bad_alloc&) {
        view_.ShowMessage(tooLarge);
        return false;
    }
    // A time the user typed is read as typed or not at all: the reader's tolerance would turn
    // "START=12o5" into 12 ms and move the caption without a word.
    std::string_view badLine;
    int bad = TQzCaption::FindMistypedSync(text, &badLine);
    if (bad >= 0) {
        view_.ShowMessage(Cp949("확장편집 내용을 적용할 수 없습니다.\n") + IntToStr(bad + 1) +
                          Cp949("번째 줄의 싱크 시각이 잘못되었습니다.") + "\n" + ShortLine(std::string(badLine)));
        view_.ShowMemoLine(bad);
        return false;
    }
    BeginListUpdate();
    int previousSelected = selected_;
    // The caption being edited, found again by its time once the rows are rebuilt.
    int edited = TCaptionRows::ReadSync(labelCode_);
    const bool hadEdited = edited > 0 && edited < rows_.Count();
    const int editedSync = hadEdited ? rows_.Sync(edited) : 0;
    TCaptionRows::TStore previousRows = rows_.TakeAll();
    rows_.AddBannerRow();
    selected_ = -1;
    // The entries go before the text is read (a large document need not be held twice); should
    // the read fail, they are made again from the rows.
    caption_.Clear();
    const auto restore = [&](const std::string& message) {
        rows_.Restore(std::move(previousRows));
        caption_.Clear();
        RefreshTable();
        selected_ = previousSelected;
        EndListUpdate();
        view_.ShowMessage(message);
        return false;
    };
    try {
        // The rows are made from the entries once the previous rows are gone.
        THandlersAside aside(caption_, false);
        caption_.ApplyText(std::move(text));
        rows_.CopyFromCaption(caption_);
    } catch (const EConvertError& e) {
        return restore(Cp949("확장편집 내용을 적용할 수 없습니다.") + "\n" + e.what());
    } catch (const std::bad_alloc&) {
        return restore(tooLarge);
    }
    previousRows = {};
    int at = hadEdited ? rows_.FindRowBySync(editedSync) : -1;
    if (at > 0) {
        labelCode_ = IntToStr(at);
        selected_ = at;
    } else {
        ResetEditFields();
    }
    SetModified();
    view_.SetMemoModified(false);
    EndListUpdate();
    if (caption_.DroppedOnRead() > 0) view_.ShowMessage(DroppedMessage(caption_.DroppedOnRead()));
    return true;
}

void TMainController::ToggleAdvancedMode() {
    if (!advancedMode_) {
        advancedMode_ = true;
        RefreshTable();
        try {
            view_.TakeMemoText(caption_.GetText());
        } catch (const std::bad_alloc&) {
            advancedMode_ = false;
            view_.ShowMessage(Cp949("자막이 너무 커서 확장편집 모드로 바꿀 수 없습니다."));
            return;
        }
        view_.ShowAdvancedMode(true);
        return;
    }
    if (!ApplyPendingMemo()) return;
    advancedMode_ = false;
    ResetEditFields();
    view_.ShowAdvancedMode(false);
}
