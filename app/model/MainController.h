#pragma once
// The main window's commands without widgets: the caption list and entry editing, opening,
// inserting and saving caption files, the advanced mode, the save prompt, and the playback timing
// that shows the current caption. The window forwards its events here and draws what the view
// interface is told.
//
// The rows are the working copy of the caption order and texts; the document's entry table holds
// the same captions after every command. Commands that change one row change the one entry with
// it (the document's own add and edit, a delete of the row's key); commands that change every
// key (shift, insert in front) rebuild the table from the rows.

#include <functional>
#include <string>
#include <vector>

#include "app/model/CaptionInfo.h"
#include "app/model/CaptionRows.h"
#include "app/model/MainView.h"
#include "document/QzCaption.h"

class TMainController {
public:
    explicit TMainController(IMainView& view);
    TMainController(const TMainController&) = delete;
    TMainController& operator=(const TMainController&) = delete;

    // The movie window, once it exists (null before).
    void SetMovie(IMoviePort* movie) { movie_ = movie; }
    IMoviePort* Movie() const { return movie_; }

    TQzCaption& Caption() { return caption_; }
    TQzCaption& CaptionTemp() { return captionTemp_; }
    const TCaptionRows& Rows() const { return rows_; }
    // The selected row, -1 when none.
    int SelectedRow() const { return selected_; }
    // Decimal index of the row being edited; "0" means none (the banner row).
    const std::string& LabelCode() const { return labelCode_; }
    bool AdvancedMode() const { return advancedMode_; }

    TCaptionInfo CurrentCaption;
    TCaptionInfo UserInfo;

    // ---- Closing ----
    // True when the caller may go on: nothing to save, saved, or the user declined to save.
    bool QuerySaveModified();
    // Stops the movie, then asks QuerySaveModified. False at once while a save prompt is up (a
    // close requested during the prompt of new or open, or of an earlier close): that prompt
    // decides, and a second one never stacks on it.
    bool CloseQuery();
    // True when the document or the advanced-mode text has unsaved changes.
    bool IsModified();

    // ---- The caption list and the entry editor ----
    // Makes the row the selection and fills the sync field, the entry editor and the row index.
    void SelectRow(int row);
    // A mouse press on the list: stops following the movie, pauses it, selects the row (-1: a
    // press beside the rows, which only stops and pauses).
    void ListMouseDown(int row);
    // A double click: seeks the movie into the row's interval and shows its caption.
    void ListDoubleClick(int row);
    void EditCommand();
    void AddCommand();
    void DeleteCommand();
    void SortCommand();
    void ShiftLeft();
    void ShiftRight();
    void ShiftSync(int delta);
    void StripTags();
    // The sync field := the movie's position in milliseconds.
    void ApplyCurrentSync();
    // Copies rows 1 .. last into the document's table.
    void SyncListToCaption();

    // ---- Files ----
    // The toolbar's open button; filterIndex 1 caption files, 2 movies.
    void OpenCommand(int filterIndex);
    void DropFiles(const std::vector<std::string>& paths);
    // A file without a NUL byte in its head is a caption file; anything else a movie.
    void OpenPath(const std::string& path);
    // False only when the save prompt stopped it. The paths are taken by value: the open resets
    // CurrentCaption, whose FileName or MovieFile a caller may pass.
    bool OpenCaptionFile(std::string path);
    void OpenMovie(std::string path);
    // The player could not open or play `path` (what it said in `description`, UTF-8): the user is
    // told, the media is closed, so that no picture of an earlier movie stays, and no movie is open.
    // Both are taken by value: the player's own strings are cleared when the media closes.
    void MovieFailed(std::string path, std::string description);
    void StopMovie();
    void NewCommand();
    void CloseAllCommand();
    void CloseMovieCommand();
    void ReloadCommand();
    void InsertCommand();
    // False when the dialog was cancelled or the file could not be written.
    bool SaveCaption(bool saveAs);
    void ToggleAdvancedMode();

    // ---- Playback timing ----
    // Milliseconds of a position in seconds, truncated; a negative argument reads the player.
    int GetMoviePos(double seconds);
    void SetMoviePos(int ms);
    bool IsMovieOpen();
    // The row whose interval holds the movie's position; -1 when none.
    int FindRowAtMoviePos();
    void ShowCurrentCaption();
    // Puts a stored caption into the movie window's label; true when the label's text changed.
    bool ShowPreviewCaption(const std::string& stored);
    // One tick of the caption timer.
    void TimerTick();

    // The text a stored caption shows as in a caption label: line breaks from "<BR>" and "<P>",
    // "&nbsp;" as a blank.
    static std::string PreviewText(const std::string& stored);
    // The caption file beside a movie: the same name with ".smi", or a name that differs from it
    // only in ASCII letter case in the same folder.
    static std::string CaptionFileBeside(const std::string& moviePath);

private:
    void BindDocumentEvents();
    void BeginListUpdate();
    void EndListUpdate();
    void ResetEditFields();
    void ClearLabel();
    // In the advanced mode, the memo := the document's body text (rows copied into the document
    // first); left alone when it already shows that text, so the caret stays.
    void RefillMemo();
    // Rows cleared, the document rebuilt from `lines` and the rows from the document. False (rows,
    // document and memo untouched) when a sync time does not convert; the user is told.
    bool ApplyMemo();
    // ApplyMemo when the advanced mode is on and the memo was edited; false when that failed.
    bool ApplyPendingMemo();
    // Sorts the rows once by sync (the sort command without the advanced-mode round).
    void SortRows();
    // Held by every list command. A list command run while the advanced mode is shown works on
    // what the memo shows: the memo's pending edits are applied before the command (which must not
    // run when they cannot be), and the memo is refilled from the document after it, so that
    // leaving the mode or saving never applies a text the command has made stale. Outside the
    // mode, and inside another round, it does nothing.
    class TMemoRound {
    public:
        explicit TMemoRound(TMainController& c);
        ~TMemoRound();
        TMemoRound(const TMemoRound&) = delete;
        TMemoRound& operator=(const TMemoRound&) = delete;
        // False: the pending edits could not be applied (the user was told).
        bool Applied() const { return applied_; }

    private:
        TMainController& c_;
        bool outermost_;
        bool applied_ = true;
    };
    void SetModified() { CurrentCaption.Modified = 1; }
    // While it lives, the document's OnAdd and OnEdit (edits = true) or its OnChange (edits =
    // false) are taken off, and put back after.
    class THandlersAside {
    public:
        THandlersAside(TQzCaption& caption, bool edits);
        ~THandlersAside();
        THandlersAside(const THandlersAside&) = delete;
        THandlersAside& operator=(const THandlersAside&) = delete;

    private:
        TQzCaption& caption_;
        TQzCaptionAddEvent onAdd_;
        TQzCaptionEditEvent onEdit_;
        TQzCaptionChangeEvent onChange_;
    };
    // After an insert into the table: when its entries are the rows' in order, rows from..last
    // moved by one shift and new entries in front of them, the rows take the shift and the new
    // entries. False, with the rows unchanged, otherwise. A row's text is its entry's, since the
    // table was in step with the rows before the insert.
    bool FollowInsertedEntries(int from);
    // True when the table has one entry per caption row. The table always holds the rows' keys,
    // so this means that no two rows share a key and each row has exactly its entry.
    bool TableInStep() const;
    // Rebuilds the table from the rows unless it is in step with them.
    void RefreshTable();
    // True when the table is in step and its entries stand in the order of rows 1 .. last, so
    // that a command that changes keys only can give the table the rows' new keys.
    bool TableAlignedWithRows() const;
    // The keys of rows 1 .. last become the table's keys, entry by entry; false, with the table
    // unchanged, when they are not in strictly ascending order.
    bool RekeyTableFromRows();

    IMainView& view_;
    IMoviePort* movie_ = nullptr;
    TQzCaption caption_;
    TQzCaption captionTemp_;
    TCaptionRows rows_;
    int selected_ = -1;
    std::string labelCode_ = "0";
    bool advancedMode_ = false;
    // A save prompt, or the save it asked for, is up.
    bool savePromptUp_ = false;
    // The row the Edit command changes while the document's edit event runs; -1 otherwise.
    int editRow_ = -1;
    // Nesting depth of TMemoRound: only the outermost one applies and refills.
    int memoRoundDepth_ = 0;
};
