#pragma once
// The one document: pages, the independent items, the clipboard item, the
// launcher-wide options and the icon list. It is the root of the data file
// Kiropad.gbi beside the program.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/iconfetch.h"
#include "model/iconlist.h"
#include "model/item.h"
#include "model/page.h"
#include "ybfs/ybfs2.h"

// A position of an item: a page and a slot; page -2 is the independent row,
// (-1, -1) is none.
struct TItemPos {
    int Page = -1;
    int Index = -1;
    bool operator==(const TItemPos& o) const { return Page == o.Page && Index == o.Index; }
};
const int kIndPage = -2;

// Reasons for SaveIfNeeded.
enum class TSaveReason { Change, Exit, Command };

class TDocument : public YBFS::TYBFileObject {
public:
    static const char* const kFileName;       // "Kiropad.gbi"
    static const char* const kReadErrorText;  // the load failure box
    static const char* const kWriteErrorText; // the save failure box
    static const char* const kErrorCaption;   // "Kiropad"
    static const char* const kNotKeptText;    // a file that failed could not be copied aside
    static constexpr int kMaxPageSide = 100;  // the grid the options allow in each direction

    TDocument();
    // Trims the icon list and saves with reason exit (only when Init finished).
    ~TDocument() override;
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    // Creates the icon list and the clipboard item, sets the data-file policy,
    // loads the data file and makes the icon list agree with the items. The
    // document must be the program-wide one (SetDocument) before this runs.
    // A file that fails to load and is given up (Cancel) is copied aside first.
    void Init();
    // True once Init has finished: the document then holds what the file held, or
    // the empty one chosen with Cancel. Until then nothing is ever saved.
    bool Loaded() const { return loaded_; }
    // Writes the data file; does nothing unless Loaded().
    void Save() override;
    using YBFS::TYBFileObject::Save;

    void Reset(bool forRead) override;
    void ReadMembers() override;
    void WriteMembers() override;

    // Saves for reason 0 (after a change: when AutoSave and not NoSave), 1 (exit:
    // when not NoSave) or 2 (the save command: always), then writes the icon caches.
    void SaveIfNeeded(TSaveReason reason);

    // Fits the independent row to count: appends empty items, or removes empty
    // ones from the end towards the front (never one that holds something).
    void SetIndItemCount(int count);
    // True when every page fits width x height; the names of those that do not
    // are put into tooSmall.
    bool CanResizePages(int width, int height, std::vector<std::string>& tooSmall) const;
    void SetPageSize(int width, int height);

    void InsertPage(int index); // -1 appends
    void DeletePage(int index);
    void MovePageUp(int index);
    void MovePageDown(int index);

    // The item at a position; null for a position that does not exist.
    TItem* GetItem(const TItemPos& pos);
    void ResetClipPos() { ClipPos = TItemPos(); }

    // Every item of every page and of the independent row reads its icon again.
    void RefreshIcons();
    // Every independent item whose icon has not been evaluated does so.
    void PrepareIndIcons();
    // Every item of every page and of the independent row forgets its icon slot.
    void ForgetIcons();

    int PageWidth = 5;
    int PageHeight = 3;
    std::vector<std::unique_ptr<TLPage>> Pages;
    std::vector<std::unique_ptr<TItem>> IndItems;
    std::unique_ptr<TItem> ClipItem;
    TItemPos ClipPos;
    std::unique_ptr<TIconList> IconList;
    // Asks for the items' icons; answers at once until a runner is given to it.
    std::unique_ptr<TIconFetcher> IconFetcher;
    bool AutoSave = true;
    bool NoSave = false;
    uint8_t ExeAnd = 1;
    bool NoEdit = false;
    std::string EditPassword;
    bool ShowInd = true;
    bool PreventDblExe = false;
    bool NotClose = false;

protected:
    YBFS::TNestedBodyCheck* NestedBodyCheck() override;
    void LoadGivenUp() override;

private:
    template <class F> void ForEachItem(F f);
    std::unique_ptr<TLPage> NewPage() const;

    static constexpr YBFS::TId kPageId = 3; // the field of each page in the data file
    TPageBodyChecks pageChecks_{kPageId};
    bool loaded_ = false;
    // The file that failed could not be copied aside: it must not be replaced.
    bool keepFile_ = false;
    // The load failed and the user gave it up.
    bool loadGivenUp_ = false;
    // The file loaded cleanly and the first save of the run has still to keep it
    // as the backup.
    bool backupDue_ = false;
};
