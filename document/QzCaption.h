#pragma once
// The caption document: entries (a sync time in whole milliseconds and one caption text) kept in
// time order, the three templates a SAMI file is written from, and the events through which the
// application confirms, watches and completes the document's work.
//
// Sync times are 32-bit. The sync key of a time is the time printed with "%9d" (right-aligned in
// at least 9 characters); the entry table orders such keys by their number (negative times first,
// times of ten digits after those of nine).
// A caption text is stored as one line: line breaks as "<BR>", no CR or LF; other markup stays; an
// empty text is a blank caption. Texts are code page 949 bytes.
//
// Every operation that takes a time has an int form and a string form; the string form converts
// with StrToInt (leading blanks allowed, so a key is itself a valid time text) and throws
// EConvertError for a text that is not a 32-bit integer ("" included) before changing anything.
//
// Events fire only when assigned; the sender comes first; non-const reference parameters may be
// changed by the handler. Handlers run synchronously inside the operation that fires them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/TarkiHash.h"
#include "platform/core/StringList.h"

class TQzCaption;

// Kind of the last file read by Open.
enum TQzCaptionType : uint8_t {
    qctCaption = 0,  // SAMI
    qctText = 1,     // plain text, one caption per non-empty line
    qctS2k = 2,      // declared; no operation assigns it
};

// Before an entry is stored by Add. Msg is the overwrite question when the time already holds an
// entry, else "". CanChange starts true; false refuses the Add.
using TQzCaptionAddEvent = std::function<void(TQzCaption* Sender, const std::string& Msg,
                                              std::string& Sync, std::string& Caption,
                                              bool& CanChange)>;
// Before an entry is moved or changed by Edit. Msg is "".
using TQzCaptionEditEvent = std::function<void(TQzCaption* Sender, const std::string& Msg,
                                               std::string& OldSync, std::string& NewSync,
                                               std::string& Caption, bool& CanChange)>;
using TQzCaptionDeleteEvent =
    std::function<void(TQzCaption* Sender, const std::string& Msg, bool& CanDelete)>;
// A text on its way in (the header comment read) or out (the header or tail to be written).
using TQzCaptionBufferEvent = std::function<void(TQzCaption* Sender, std::string& Buffer)>;
using TQzCaptionReadEvent = std::function<void(TQzCaption* Sender, int Current, int Max)>;
using TQzCaptionChangeEvent =
    std::function<void(TQzCaption* Sender, int Sync, const std::string& Caption)>;
using TQzCaptionErrorEvent = std::function<void(TQzCaption* Sender, const std::string& Msg)>;

class TQzCaption {
public:
    // Capacity of the entry table made by the constructor; Add and Edit grow it when it is full.
    static constexpr int InitialCapacity = 10240;

    TQzCaption();
    TQzCaption(const TQzCaption&) = delete;
    TQzCaption& operator=(const TQzCaption&) = delete;

    // ---- Templates (each line is written followed by CR LF) ----
    // Initially "<SAMI>", "<BODY>".
    TStringList& CaptionHead() { return captionHead_; }
    const TStringList& CaptionHead() const { return captionHead_; }
    void SetCaptionHead(const TStringList& lines) { captionHead_.Assign(lines); }
    // Initially "<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)".
    TStringList& CaptionBody() { return captionBody_; }
    const TStringList& CaptionBody() const { return captionBody_; }
    void SetCaptionBody(const TStringList& lines) { captionBody_.Assign(lines); }
    // Initially "</BODY>", "</SAMI>".
    TStringList& CaptionTail() { return captionTail_; }
    const TStringList& CaptionTail() const { return captionTail_; }
    void SetCaptionTail(const TStringList& lines) { captionTail_.Assign(lines); }

    TQzCaptionType CaptionType() const { return captionType_; }
    // Milliseconds between the captions of a plain-text file (initially 1000).
    uint16_t AddStep() const { return addStep_; }
    void SetAddStep(uint16_t step) { addStep_ = step; }

    // ---- Events ----
    TQzCaptionAddEvent OnAdd;            // by Add, unless Quiet
    TQzCaptionEditEvent OnEdit;          // by Edit when the old time exists (also while Quiet)
    TQzCaptionDeleteEvent OnDelete;      // declared only
    TQzCaptionBufferEvent OnReadInfo;    // by Open: the first comment of a SAMI file
    TQzCaptionReadEvent OnReadBegin;     // declared only
    TQzCaptionReadEvent OnRead;          // by the readers: progress every 100th line
    TQzCaptionReadEvent OnReadEnd;       // by the readers: Current 0, Max the line count
    TQzCaptionBufferEvent OnSaveHead;    // by Save: the header text before it is written
    TQzCaptionBufferEvent OnSaveBody;    // declared only
    TQzCaptionBufferEvent OnSaveTail;    // by Save: the tail text before it is written
    TQzCaptionChangeEvent OnChange;      // by the readers: once per entry in key order
    TQzCaptionErrorEvent OnErrorOpen;    // by Open, OpenS2k: a missing or unreadable file

    // ---- Unpublished state ----
    // The entries. The table object is replaced by every successful read and when Add or Edit
    // grow it, so never keep a pointer to it across such calls. Set on it directly refuses
    // entries beyond its capacity: call ReserveEntries first when setting many.
    TTarkiHash& List() { return *list_; }
    const TTarkiHash& List() const { return *list_; }
    // Grows the entry table (keeping its entries) so that it can hold at least `count` entries.
    void ReserveEntries(int count);
    // Path of the last SAMI or plain-text file that Open read; "" at construction.
    std::string FileName;
    // True while a reader builds the entries: Add then fires no OnAdd and refuses to overwrite.
    bool Quiet = false;

    // ---- Sync keys ----
    static std::string GetSyncWidth(int time);
    static std::string GetSyncWidth(const std::string& time);

    // ---- Entries ----
    // Stores the caption under the time (replacing an existing text). False when a handler refused,
    // when Quiet is set and the time already has an entry, or when the entry could not be stored.
    // Times at or below 0 are stored as they are.
    bool Add(int sync, const std::string& caption);
    bool Add(const std::string& sync, const std::string& caption);
    // Moves the entry at oldSync to newSync with the new text (an entry already at newSync is
    // replaced without a question). Without an entry at oldSync it is Add(newSync, caption).
    bool Edit(int oldSync, int newSync, const std::string& caption);
    bool Edit(const std::string& oldSync, const std::string& newSync, const std::string& caption);
    // Always true; fires no event.
    bool Delete(int sync);
    bool Delete(const std::string& sync);
    // Position of the entry in key order, -1 when absent.
    int IndexOf(int sync) const;
    int IndexOf(const std::string& sync) const;
    // The caption text, "" when absent.
    std::string Get(int sync) const;
    std::string Get(const std::string& sync) const;
    void Clear();

    // Text as typed -> stored caption: trailing blanks cut, CR removed, LF -> "<BR>".
    static std::string EncodeCaption(std::string_view text);
    // Stored caption -> text to edit: CR and LF removed, "<BR>" and "<P>" (any case) -> LF.
    static std::string DecodeCaption(std::string_view text);
    // Removes every tag but the line breaks from every entry; fires no event.
    void TagStrip();

    // Adds the source's entries behind this document's last time (1000 ms behind when the source
    // starts at or below 0; at their own times into an empty document). False for an empty source
    // or one holding a single empty text.
    bool AppendList(const TTarkiHash& source);
    bool AppendList(const TQzCaption& source);
    // Inserts the source's entries behind the entry at `sync` and pushes the later entries back so
    // the inserted block does not mix with them.
    bool InsertList(int sync, const TTarkiHash& source);
    bool InsertList(const std::string& sync, const TTarkiHash& source);
    bool InsertList(int sync, const TQzCaption& source);
    bool InsertList(const std::string& sync, const TQzCaption& source);

    // ---- Reading ----
    // True when the file exists, is a regular file that can be read, and holds no NUL byte among
    // its first min(size, 2047) bytes; an empty file counts as text.
    static bool IsTextFile(const std::string& fileName);
    // Reads a SAMI or plain-text file (".s2k" goes to OpenS2k); the entries are replaced only when
    // the read succeeds. EConvertError (a SYNC time that is not a 32-bit integer) reaches the
    // caller with the previous entries unchanged.
    bool Open(const std::string& fileName);
    // Open of a file whose bytes the caller has read already (a ".s2k" file is read again).
    bool Open(const std::string& fileName, std::string bytes);
    // Reads SAMI body text (the advanced mode's editor); the lines are not changed.
    void Apply(const TStringList& lines);
    // The first line (0-based, lines split as a string list splits `text`) that begins, after
    // blanks, with a SYNC tag that Apply would not
    // read as typed: no blank after "<SYNC" (the line would join the caption before), no closing
    // '>', no START attribute, no digits after "START=", a value beyond 32 bits, or digits followed
    // by anything but a blank, a quote or '>' ("START=12o5"). -1 when every SYNC tag is well
    // formed; `badLine`, when given, then shows that line. Apply itself stays as tolerant as the
    // file reader.
    static int FindMistypedSync(std::string_view text, std::string_view* badLine = nullptr);
    // Apply of the lines of `text` (split at LF, CR or CR LF, as a string list reads them).
    void ApplyText(std::string text);
    // Reads a ".s2k" caption file.
    bool OpenS2k(const std::string& fileName);
    // How many captions the last successful read (Open, Apply, OpenS2k) could not keep: each one
    // stood at a time that a later caption of the file also had (times at or below 0 read as 1),
    // and the later one replaced it. An ".s2k" file joins such captions into one: 0.
    int DroppedOnRead() const { return droppedOnRead_; }

    // ---- Writing ----
    // The body of all entries, one CaptionBody instance per entry, lines separated by LF.
    std::string GetText() const;
    // Writes header, body and tail with CR LF line ends. The file is replaced atomically: false,
    // with any previous file intact, when it cannot be written.
    bool Save(const std::string& fileName);

private:
    // Adds through the table, growing it when it is full. False when the table refused anyway.
    // The key is taken by value: growing replaces the table, and a key read from it would go too.
    bool StoreEntry(std::string key, std::string caption);
    // Open's read of a SAMI or plain-text file's bytes.
    bool ReadText(const std::string& fileName, std::string text);
    // Builds the entries from SAMI (sami = true) or plain text, from the block removal on. `text`
    // has LF line ends and is changed; lineCount receives the number of lines read.
    std::unique_ptr<TTarkiHash> ParseText(std::string& text, bool sami, int& lineCount);
    // Apply's read of the lines joined, each followed by LF (changed by the read).
    void ApplyJoined(std::string& text);
    // Replaces the entry table by `table` and fires OnChange per entry, then OnReadEnd.
    void AdoptTable(std::unique_ptr<TTarkiHash> table, int lineCount);
    // OnErrorOpen with the file's name (without its folder) and the message (UTF-8 in the source).
    void FireErrorOpen(const std::string& fileName, const char* utf8Message);
    // InsertList behind the entry at position idx (-1: before every entry).
    bool InsertTable(int idx, const TTarkiHash& source);
    // InsertList's push of the later entries (the table's last ones, as (time, text) in key
    // order): Edit(t, t + shift, text) for each from the last one down, with one edit event each.
    // While every handler lets its entry go as proposed and leaves the table alone, the moves are
    // made together after the events, so a handler sees the later entries where they were.
    void MoveLaterEntries(std::vector<std::pair<int, std::string>>& later, int64_t shift);
    // The push of the later entries from entry `from` on when no edit handler is assigned: their
    // keys are replaced together. False, with nothing changed, unless every one of their keys is
    // the sync key of its time, below the one after it, and the shift (>= 0) moves none past the
    // top of the time range.
    bool ShiftLaterKeys(int from, int64_t shift);
    // InsertList's Add of every entry of `temp` in key order, one add event each. Entries that
    // all fall into one gap of the table are inserted together after their events, as long as no
    // handler changes a time or the table.
    void AddEntries(const TTarkiHash& temp);
    // Grows the table as StoreEntry would for `count` entries.
    void GrowFor(int count);

    std::unique_ptr<TTarkiHash> list_;
    TStringList captionHead_;
    TStringList captionBody_;
    TStringList captionTail_;
    TQzCaptionType captionType_ = qctCaption;
    uint16_t addStep_ = 1000;
    int droppedOnRead_ = 0;
};
